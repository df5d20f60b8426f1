#include "voicemsg/win/lumvox_dlg.h"

#include <commctrl.h>

#include <string>

#include "platform/win/wide_text.h"
#include "voicemsg/resource.h"
#include "voicemsg/win/lumvox_app.h"

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
    : m_parent(parent),
      m_recorder(DefaultLeaveWordServices()),
      m_logic(m_recorder, *this),
      m_hIcon(LoadIconW(theApp.Instance(), MAKEINTRESOURCEW(IDR_MAINFRAME))) {}

CLumvoxDlg::~CLumvoxDlg() {
    if (m_hWnd) DestroyWindow(m_hWnd);
    for (HBITMAP bitmap : m_bitmaps)
        if (bitmap) DeleteObject(bitmap);
}

INT_PTR CLumvoxDlg::DoModal() {
    HWND owner = m_parent && IsWindow(m_parent) ? m_parent : nullptr;
    const bool enableOwner = owner && IsWindowEnabled(owner);
    if (enableOwner) EnableWindow(owner, FALSE);
    HWND dialog = CreateDialogParamW(theApp.Instance(), MAKEINTRESOURCEW(IDD_LUMVOX_DIALOG), owner,
                                     &CLumvoxDlg::DialogProc, reinterpret_cast<LPARAM>(this));
    if (dialog) RunModalLoop();
    // Hidden before the owner comes back, so that activation returns to it.
    if (dialog) SetWindowPos(dialog, nullptr, 0, 0, 0, 0,
                             SWP_HIDEWINDOW | SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE | SWP_NOZORDER);
    if (enableOwner) EnableWindow(owner, TRUE);
    if (owner && GetActiveWindow() == dialog) SetActiveWindow(owner);
    if (dialog) DestroyWindow(dialog);
    return dialog ? m_result : -1;
}

void CLumvoxDlg::RunModalLoop() {
    while (!m_ended) {
        MSG msg;
        const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
        if (got == 0) {
            PostQuitMessage(int(msg.wParam));  // the host's own loop is to see it too
            m_result = -1;
            return;
        }
        if (got < 0) return;
        if (!theApp.PreTranslateMessage(&msg)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
}

BOOL CLumvoxDlg::PreTranslateMessage(MSG* msg) { return IsDialogMessageW(m_hWnd, msg); }

INT_PTR CALLBACK CLumvoxDlg::DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    try {
        if (message == WM_INITDIALOG) {
            auto* self = reinterpret_cast<CLumvoxDlg*>(lParam);
            self->Attach(hwnd);
            return self->OnInitDialog();
        }
        auto* self = static_cast<CLumvoxDlg*>(FromHandlePermanent(hwnd));
        if (!self) return FALSE;
        if (message == WM_NCDESTROY) {
            self->Detach();
            return FALSE;
        }
        return self->OnMessage(message, wParam, lParam);
    } catch (...) {
        return FALSE;  // nothing may unwind through the system's dialog code
    }
}

INT_PTR CLumvoxDlg::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_COMMAND:
        OnCommand(LOWORD(wParam), HIWORD(wParam));
        return TRUE;
    case WM_TIMER:
        if (wParam != kTimerId) return FALSE;
        m_logic.OnTimer();
        return TRUE;
    case WM_DRAWITEM:
        for (int i = 0; i < kButtons; ++i)
            if (int(wParam) == kButtonIds[i]) {
                m_buttons[size_t(i)].DrawItem(reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
                return TRUE;
            }
        return FALSE;
    case WM_SYSCOMMAND:
        if ((wParam & 0xFFF0) != IDM_ABOUTBOX) return FALSE;
        ShowAboutBox();
        return TRUE;
    case WM_PAINT:
        return OnPaintMinimised();
    case WM_QUERYDRAGICON:
        return reinterpret_cast<INT_PTR>(m_hIcon);
    }
    return FALSE;
}

void CLumvoxDlg::DoDataExchange() {
    m_slider = GetDlgItem(m_hWnd, IDC_PROGRESS);
    for (int i = 0; i < kButtons; ++i) m_buttons[size_t(i)].SubclassDlgItem(UINT(kButtonIds[i]), m_hWnd);
}

BOOL CLumvoxDlg::OnInitDialog() {
    DoDataExchange();
    wchar_t about[128] = {};
    if (LoadStringW(theApp.Instance(), IDS_ABOUTBOX, about, int(std::size(about))) > 0) {
        HMENU menu = GetSystemMenu(m_hWnd, FALSE);
        AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
        AppendMenuW(menu, MF_STRING, IDM_ABOUTBOX, about);
    }
    SendMessageW(m_hWnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_hIcon));
    SendMessageW(m_hWnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_hIcon));
    m_logic.OnInitDialog();
    for (int i = 0; i < kButtons; ++i) {
        CImageButton& button = m_buttons[size_t(i)];
        m_bitmaps[size_t(i)] = LoadBitmapW(theApp.Instance(), MAKEINTRESOURCEW(kBitmapIds[i]));
        button.m_hImage = m_bitmaps[size_t(i)];
        button.m_nImageWidth = kImageWidth;
        button.m_nImageHeight = kImageHeight;
        SetWindowPos(button.GetSafeHwnd(), nullptr, 0, 0, kImageWidth, kImageHeight,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    m_logic.UpdateButtons(m_logic.GetState());
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
        m_logic.OnRecord();
        break;
    case IDC_STOP:
        m_logic.OnStop();
        break;
    case IDC_PLAY:
        m_logic.OnPlay();
        break;
    case IDC_SEND:
        m_logic.OnSend();
        break;
    }
}

bool CLumvoxDlg::OnPaintMinimised() {
    if (!IsIconic(m_hWnd)) return false;
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(m_hWnd, &paint);
    SendMessageW(m_hWnd, WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    RECT client;
    GetClientRect(m_hWnd, &client);
    const int x = (client.right - client.left - GetSystemMetrics(SM_CXICON) + 1) / 2;
    const int y = (client.bottom - client.top - GetSystemMetrics(SM_CYICON) + 1) / 2;
    DrawIcon(dc, x, y, m_hIcon);
    EndPaint(m_hWnd, &paint);
    return true;
}

void CLumvoxDlg::ShowAboutBox() {
    DialogBoxParamW(theApp.Instance(), MAKEINTRESOURCEW(IDD_ABOUTBOX), m_hWnd, AboutProc, 0);
}

void CLumvoxDlg::EnableControl(int id, bool enabled) { EnableWindow(GetDlgItem(m_hWnd, id), enabled); }

void CLumvoxDlg::SetSliderRange(int32_t maximum, bool redraw) {
    SendMessageW(m_slider, TBM_SETRANGE, redraw, MAKELPARAM(0, maximum));
}

void CLumvoxDlg::SetSliderPos(int32_t position) { SendMessageW(m_slider, TBM_SETPOS, TRUE, position); }

void CLumvoxDlg::SetElapsedText(const std::string& gbk) {
    SetDlgItemTextW(m_hWnd, IDC_ELAPSED, platform::GbkToWide(gbk).c_str());
}

void CLumvoxDlg::StartTimer() { SetTimer(m_hWnd, kTimerId, kTimerPeriodMs, nullptr); }

void CLumvoxDlg::KillTimer() { ::KillTimer(m_hWnd, kTimerId); }

void CLumvoxDlg::EndDialog(int result) {
    m_result = result;
    m_ended = true;
    // A message sent from another thread is handled inside GetMessage, which
    // then goes on waiting: wake the loop so that it sees the end.
    PostMessageW(m_hWnd, WM_NULL, 0, 0);
}
