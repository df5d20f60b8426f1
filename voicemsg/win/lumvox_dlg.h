#pragma once
#include <windows.h>

#include <array>

#include "voicemsg/leave_word_dialog.h"
#include "voicemsg/leave_word_recorder.h"
#include "voicemsg/win/image_button.h"
#include "voicemsg/win/window_object.h"

// The modal voice-message dialog (template 102): the window around the
// dialog logic, with its image buttons, progress slider and system menu.
class CLumvoxDlg : public CWindowObject, private LeaveWordView {
public:
    explicit CLumvoxDlg(HWND parent);
    ~CLumvoxDlg() override;

    void LoadMessage(const char* text, uint32_t size) { m_logic.LoadMessage(text, size); }
    // Runs the dialog with its owner disabled; the result it ended with,
    // -1 when it could not be created or the thread is quitting.
    INT_PTR DoModal();
    LeaveWordDialog& Logic() { return m_logic; }
    BOOL PreTranslateMessage(MSG* msg) override;

private:
    static constexpr int kButtons = 5;

    static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void RunModalLoop();
    BOOL OnInitDialog();
    void DoDataExchange();
    void OnCommand(UINT id, UINT code);
    bool OnPaintMinimised();
    void ShowAboutBox();

    // The logic's view of the window.
    void EnableControl(int id, bool enabled) override;
    void SetSliderRange(int32_t maximum, bool redraw) override;
    void SetSliderPos(int32_t position) override;
    void SetElapsedText(const std::string& gbk) override;
    void StartTimer() override;
    void KillTimer() override;
    void EndDialog(int result) override;

    HWND m_parent;
    CLeaveWordRecorder m_recorder;
    LeaveWordDialog m_logic;
    HICON m_hIcon;
    HWND m_slider = nullptr;
    std::array<HBITMAP, kButtons> m_bitmaps{};
    std::array<CImageButton, kButtons> m_buttons;
    bool m_ended = false;
    INT_PTR m_result = -1;
};
