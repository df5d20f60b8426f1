#include "voicemsg/win/lumvox_dlg.h"

#include <commctrl.h>

#include <string>

#include "platform/win/wide_text.h"
#include "voicemsg/resource.h"
#include "voicemsg/win/lumvox_app.h"

namespace voicemsg {

namespace {

constexpr UINT_PTR kTimerId = 1;
constexpr UINT kTimerPeriodMs = 1000;
constexpr int kImageWidth = 26;
constexpr int kImageHeight = 22;
constexpr int kButtonIds[] = {IDC_RECORD, IDC_STOP, IDC_PLAY, IDC_HIDDEN1, IDC_HIDDEN2};
constexpr int kBitmapIds[] = {IDB_RECORD, IDB_STOP, IDB_PLAY, IDB_HIDDEN1, IDB_HIDDEN2};

INT_PTR CALLBACK AboutProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM) {
    if (message == WM_INITDIALOG) return TRUE;
    if (message == WM_COMMAND && (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)) {
        ::EndDialog(hwnd, LOWORD(wParam));
        return TRUE;
    }
    return FALSE;
}

}  // namespace

CLumvoxDlg::CLumvoxDlg(HWND parent)
    : CDialogWindow(theApp.Instance(), IDR_MAINFRAME),
      parent_(parent),
      recorder_(DefaultLeaveWordServices()),
      logic_(recorder_, *this) {}

CLumvoxDlg::~CLumvoxDlg() {
    if (window_) DestroyWindow(window_);
    for (HBITMAP bitmap : bitmaps_)
        if (bitmap) DeleteObject(bitmap);
}

INT_PTR CLumvoxDlg::DoModal() {
    HWND owner = parent_ && IsWindow(parent_) ? parent_ : nullptr;
    const bool enableOwner = owner && IsWindowEnabled(owner);
    if (enableOwner) EnableWindow(owner, FALSE);
    HWND dialog = CreateDialogParamW(theApp.Instance(), MAKEINTRESOURCEW(IDD_LUMVOX_DIALOG), owner,
                                     &CDialogWindow::DialogProc, reinterpret_cast<LPARAM>(this));
    if (dialog) RunModalLoop();
    // Hidden before the owner comes back, so that activation returns to it.
    if (dialog) SetWindowPos(dialog, nullptr, 0, 0, 0, 0,
                             SWP_HIDEWINDOW | SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE | SWP_NOZORDER);
    if (enableOwner) EnableWindow(owner, TRUE);
    if (owner && GetActiveWindow() == dialog) SetActiveWindow(owner);
    if (dialog) DestroyWindow(dialog);
    return dialog ? result_ : -1;
}

void CLumvoxDlg::RunModalLoop() {
    while (!ended_) {
        MSG msg;
        const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
        if (got == 0) {
            PostQuitMessage(int(msg.wParam));  // the host's own loop is to see it too
            result_ = -1;
            return;
        }
        if (got < 0) return;
        if (!theApp.PreTranslateMessage(&msg)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
}

BOOL CLumvoxDlg::PreTranslateMessage(MSG* msg) { return IsDialogMessageW(window_, msg); }

INT_PTR CLumvoxDlg::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_COMMAND:
        OnCommand(LOWORD(wParam), HIWORD(wParam));
        return TRUE;
    case WM_TIMER:
        if (wParam != kTimerId) return FALSE;
        logic_.OnTimer();
        return TRUE;
    case WM_DRAWITEM:
        for (int i = 0; i < kButtons; ++i)
            if (int(wParam) == kButtonIds[i]) {
                buttons_[size_t(i)].DrawItem(reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
                return TRUE;
            }
        return FALSE;
    case WM_SYSCOMMAND:
        if ((wParam & 0xFFF0) != IDM_ABOUTBOX) return FALSE;
        ShowAboutBox();
        return TRUE;
    }
    return FALSE;
}

void CLumvoxDlg::DoDataExchange() {
    slider_ = GetDlgItem(window_, IDC_PROGRESS);
    for (int i = 0; i < kButtons; ++i) buttons_[size_t(i)].SubclassDlgItem(UINT(kButtonIds[i]), window_);
}

BOOL CLumvoxDlg::OnInitDialog() {
    DoDataExchange();
    wchar_t about[128] = {};
    if (LoadStringW(theApp.Instance(), IDS_ABOUTBOX, about, int(std::size(about))) > 0) {
        HMENU menu = GetSystemMenu(window_, FALSE);
        AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
        AppendMenuW(menu, MF_STRING, IDM_ABOUTBOX, about);
    }
    logic_.OnInitDialog();
    for (int i = 0; i < kButtons; ++i) {
        CImageButton& button = buttons_[size_t(i)];
        bitmaps_[size_t(i)] = LoadBitmapW(theApp.Instance(), MAKEINTRESOURCEW(kBitmapIds[i]));
        button.SetImage(bitmaps_[size_t(i)], kImageWidth, kImageHeight);
        SetWindowPos(button.GetSafeHwnd(), nullptr, 0, 0, kImageWidth, kImageHeight,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    logic_.UpdateButtons(logic_.GetState());
    return TRUE;
}

void CLumvoxDlg::OnCommand(UINT id, UINT code) {
    switch (id) {
    case IDOK:
        EndDialog(IDOK);
        return;
    case IDCANCEL:
        EndDialog(IDCANCEL);
        return;
    }
    if (code != BN_CLICKED) return;
    switch (id) {
    case IDC_RECORD:
        logic_.OnRecord();
        break;
    case IDC_STOP:
        logic_.OnStop();
        break;
    case IDC_PLAY:
        logic_.OnPlay();
        break;
    case IDC_SEND:
        logic_.OnSend();
        break;
    }
}

void CLumvoxDlg::ShowAboutBox() {
    DialogBoxParamW(theApp.Instance(), MAKEINTRESOURCEW(IDD_ABOUTBOX), window_, AboutProc, 0);
}

void CLumvoxDlg::EnableControl(int id, bool enabled) { EnableWindow(GetDlgItem(window_, id), enabled); }

void CLumvoxDlg::SetSliderRange(int32_t maximum, bool redraw) {
    SendMessageW(slider_, TBM_SETRANGE, redraw, MAKELPARAM(0, maximum));
}

void CLumvoxDlg::SetSliderPos(int32_t position) { SendMessageW(slider_, TBM_SETPOS, TRUE, position); }

void CLumvoxDlg::SetElapsedText(const std::string& gbk) {
    SetDlgItemTextW(window_, IDC_ELAPSED, platform::GbkToWide(gbk).c_str());
}

void CLumvoxDlg::StartTimer() { SetTimer(window_, kTimerId, kTimerPeriodMs, nullptr); }

void CLumvoxDlg::KillTimer() { ::KillTimer(window_, kTimerId); }

void CLumvoxDlg::EndDialog(int result) {
    result_ = result;
    ended_ = true;
    // A message sent from another thread is handled inside GetMessage, which
    // then goes on waiting: wake the loop so that it sees the end.
    PostMessageW(window_, WM_NULL, 0, 0);
}

}  // namespace voicemsg
