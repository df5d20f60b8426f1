#pragma once
#include <windows.h>

#include <array>

#include "platform/win/dialog_window.h"
#include "voicemsg/leave_word_dialog.h"
#include "voicemsg/leave_word_recorder.h"
#include "voicemsg/win/image_button.h"

namespace voicemsg {

// The modal voice-message dialog (template 102): the window around the
// dialog logic, with its image buttons, progress slider and system menu.
class CLumvoxDlg : public platform::CDialogWindow, private LeaveWordView {
public:
    explicit CLumvoxDlg(HWND parent);
    ~CLumvoxDlg() override;

    void LoadMessage(const char* text, uint32_t size) { logic_.LoadMessage(text, size); }
    // Runs the dialog with its owner disabled; the result it ended with,
    // -1 when it could not be created or the thread is quitting.
    INT_PTR DoModal();
    LeaveWordDialog& Logic() { return logic_; }
    BOOL PreTranslateMessage(MSG* msg) override;

private:
    static constexpr int kButtons = 5;

    BOOL OnInitDialog() override;
    INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void RunModalLoop();
    void DoDataExchange();
    void OnCommand(UINT id, UINT code);
    void ShowAboutBox();

    // The logic's view of the window.
    void EnableControl(int id, bool enabled) override;
    void SetSliderRange(int32_t maximum, bool redraw) override;
    void SetSliderPos(int32_t position) override;
    void SetElapsedText(const std::string& gbk) override;
    void StartTimer() override;
    void KillTimer() override;
    void EndDialog(int result) override;

    HWND parent_;
    CLeaveWordRecorder recorder_;
    LeaveWordDialog logic_;
    HWND slider_ = nullptr;
    std::array<HBITMAP, kButtons> bitmaps_{};
    std::array<CImageButton, kButtons> buttons_;
    bool ended_ = false;
    INT_PTR result_ = -1;
};

}  // namespace voicemsg
