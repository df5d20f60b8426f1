#pragma once
// CUpDateDlg: the updater's window on Win32. The stages, threads and
// counters live in UpdateStages; this class shows them and turns the user's
// clicks into stage steps. Everything here runs on the dialog's thread.
#include <windows.h>

#include <commctrl.h>

#include <string>

#include "platform/win/dialog_window.h"
#include "update/update_engine.h"
#include "update/update_stages.h"
#include "update/update_window.h"

namespace update {

class CUpDateDlg final : public platform::CDialogWindow, public UpdateWindow {
public:
    // `commandLine`: the raw command line of the process, in GBK.
    explicit CUpDateDlg(std::string commandLine);
    ~CUpDateDlg() override;

    // Runs the dialog modally; returns once it has closed and its workers have ended.
    INT_PTR DoModal();

    // UpdateWindow.
    void ShowMessage(const std::string& text, MessageCaption caption, MessageIcon icon) override;
    void SetRowStatus(int row, const std::string& text) override;
    bool LoadTipBitmap(const char* name) override;
    void ShowProgressControls() override;
    void DisableCancel() override;
    void SetProgressLabel(const std::string& text) override;
    void SetProgress(int position) override;
    void StartTimer(DialogTimer timer) override;
    void StopTimer(DialogTimer timer) override;
    void EndDialog(int result) override;

private:
    static LRESULT CALLBACK BannerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    BOOL OnInitDialog() override;
    INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void SetUpList();
    void ListEntries();
    void PaintBanner(HDC dc);
    void OnDownload();
    void OnCancel();
    void OnTimer(UINT_PTR id);
    void OnListItemChanged();
    void OnListClick(const NMITEMACTIVATE& click);
    void ShowControl(int id, bool shown);

    const std::string commandLine_;
    HWND list_ = nullptr;
    HWND progress_ = nullptr;
    HWND banner_ = nullptr;
    WNDPROC bannerDefault_ = nullptr;
    HBITMAP tipBitmap_ = nullptr;
    SIZE tipSize_{};
    bool checkingRows_ = false;

    DialogMailbox mailbox_;
    MailboxReporter reporter_;
    UpdateEngine engine_;
    EngineStageWork work_;
    ThreadLauncher launcher_;
    UpdateStages stages_;
};

}  // namespace update
