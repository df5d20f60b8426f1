#include "platform/win/dialog_window.h"

namespace platform {
namespace {

HICON LoadIconSized(HINSTANCE instance, int iconId, int metricX, int metricY) {
    return static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(iconId), IMAGE_ICON, GetSystemMetrics(metricX),
                                         GetSystemMetrics(metricY), 0));
}

}  // namespace

CDialogWindow::CDialogWindow(HINSTANCE instance, int iconId)
    : icon_(LoadIconSized(instance, iconId, SM_CXICON, SM_CYICON)),
      smallIcon_(LoadIconSized(instance, iconId, SM_CXSMICON, SM_CYSMICON)) {}

CDialogWindow::~CDialogWindow() {
    if (icon_) DestroyIcon(icon_);
    if (smallIcon_) DestroyIcon(smallIcon_);
}

INT_PTR CALLBACK CDialogWindow::DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    try {
        if (message == WM_INITDIALOG) {
            auto* self = reinterpret_cast<CDialogWindow*>(lParam);
            self->Attach(window);
            SendMessageW(window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(self->icon_));
            SendMessageW(window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(self->smallIcon_));
            return self->OnInitDialog();
        }
        auto* self = static_cast<CDialogWindow*>(FromHandlePermanent(window));
        if (!self) return FALSE;
        switch (message) {
        case WM_NCDESTROY:
            self->Detach();
            return FALSE;
        case WM_PAINT:
            if (self->PaintMinimised()) return TRUE;
            break;
        case WM_QUERYDRAGICON:
            return reinterpret_cast<INT_PTR>(self->icon_);
        }
        return self->OnMessage(message, wParam, lParam);
    } catch (...) {
        return FALSE;  // nothing may unwind through the system's dialog code
    }
}

// The standard painting of a minimised dialog: its icon centred on the background.
bool CDialogWindow::PaintMinimised() {
    if (!IsIconic(window_)) return false;
    PAINTSTRUCT paint;
    const HDC dc = BeginPaint(window_, &paint);
    SendMessageW(window_, WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    RECT client;
    GetClientRect(window_, &client);
    const int x = (client.right - client.left - GetSystemMetrics(SM_CXICON) + 1) / 2;
    const int y = (client.bottom - client.top - GetSystemMetrics(SM_CYICON) + 1) / 2;
    DrawIcon(dc, x, y, icon_);
    EndPaint(window_, &paint);
    return true;
}

}  // namespace platform
