#include "voicemsg/win/image_button.h"

#include <commctrl.h>

#include <string>

namespace voicemsg {

CImageButton::~CImageButton() { Unsubclass(); }

BOOL CImageButton::SubclassDlgItem(UINT id, HWND parent) {
    HWND hwnd = GetDlgItem(parent, int(id));
    if (!hwnd || FromHandlePermanent(hwnd)) return FALSE;
    Attach(hwnd);
    PreSubclassWindow();
    previousProc_ = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CImageButton::WindowProc)));
    return TRUE;
}

void CImageButton::PreSubclassWindow() {
    const auto style = uint32_t(GetWindowLongPtrW(window_, GWL_STYLE));
    SetWindowLongPtrW(window_, GWL_STYLE, LONG_PTR(image_button::ButtonStyle(style)));
    const auto exStyle = uint32_t(GetWindowLongPtrW(window_, GWL_EXSTYLE));
    if (image_button::ButtonExStyle(exStyle) != exStyle) {
        SetWindowLongPtrW(window_, GWL_EXSTYLE, LONG_PTR(image_button::ButtonExStyle(exStyle)));
        SetWindowPos(window_, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED);
    }
}

void CImageButton::Unsubclass() {
    if (window_ && previousProc_)
        SetWindowLongPtrW(window_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previousProc_));
    previousProc_ = nullptr;
    Detach();
}

BOOL CImageButton::PreTranslateMessage(MSG* msg) {
    // A quick second click is a click of its own, not a double click.
    if (msg->hwnd == window_ && msg->message == WM_LBUTTONDBLCLK) msg->message = WM_LBUTTONDOWN;
    return FALSE;
}

void CImageButton::SetImage(HBITMAP image, int width, int height) {
    image_ = image;
    imageWidth_ = width;
    imageHeight_ = height;
}

void CImageButton::DrawItem(const DRAWITEMSTRUCT* item) {
    const UINT state = item->itemState;
    DrawButton(item->hDC, image_button::DrawFlags(state & ODS_SELECTED, state & ODS_DISABLED, state & ODS_FOCUS,
                                                  hover_.Hover()));
}

void CImageButton::DrawButton(HDC target, UINT flags) {
    RECT area;
    GetClientRect(window_, &area);
    HDC memory = CreateCompatibleDC(target);
    HBITMAP canvas = CreateCompatibleBitmap(target, area.right - area.left, area.bottom - area.top);
    if (!memory || !canvas) {
        if (canvas) DeleteObject(canvas);
        if (memory) DeleteDC(memory);
        return;
    }
    HGDIOBJ previous = SelectObject(memory, canvas);

    HDC strip = CreateCompatibleDC(memory);
    HGDIOBJ previousStrip = SelectObject(strip, image_);
    const image_button::Composition image = image_button::Compose(flags, imageWidth_, imageHeight_);
    BitBlt(memory, image.destX, image.destY, image.width, image.height, strip, image.sourceX, 0, SRCCOPY);
    if (image.frames) {
        HBRUSH frame = CreateSolidBrush(image_button::kFrameColour);
        RECT inner = area;
        InflateRect(&inner, -1, -1);
        FrameRect(memory, &area, frame);
        FrameRect(memory, &inner, frame);
        DeleteObject(frame);
    }
    SelectObject(strip, previousStrip);
    DeleteDC(strip);

    DrawCaption(memory, area);
    BitBlt(target, 0, 0, imageWidth_, imageHeight_, memory, 0, 0, SRCCOPY);
    SelectObject(memory, previous);
    DeleteObject(canvas);
    DeleteDC(memory);
}

void CImageButton::DrawCaption(HDC dc, RECT area) const {
    const int length = GetWindowTextLengthW(window_);
    if (length <= 0) return;
    std::wstring text(size_t(length) + 1, L'\0');
    text.resize(size_t(GetWindowTextW(window_, text.data(), length + 1)));
    auto font = reinterpret_cast<HFONT>(SendMessageW(GetParent(window_), WM_GETFONT, 0, 0));
    HGDIOBJ previousFont = font ? SelectObject(dc, font) : nullptr;
    SetBkMode(dc, TRANSPARENT);
    DrawTextW(dc, text.c_str(), int(text.size()), &area, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    if (previousFont) SelectObject(dc, previousFont);
}

LRESULT CImageButton::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_MOUSEMOVE:
        if (hover_.NeedsTracking()) {
            TRACKMOUSEEVENT request{sizeof request, TME_HOVER | TME_LEAVE, window_, image_button::kHoverTimeMs};
            hover_.Tracking(_TrackMouseEvent(&request) != FALSE);
        }
        break;
    case WM_MOUSEHOVER:
        if (hover_.EnterHover()) InvalidateRect(window_, nullptr, TRUE);
        return 0;
    case WM_MOUSELEAVE:
        hover_.Leave();
        InvalidateRect(window_, nullptr, TRUE);
        return 0;
    case WM_ERASEBKGND:
        return TRUE;  // the drawing covers the whole button
    }
    return CallWindowProcW(previousProc_, window_, message, wParam, lParam);
}

LRESULT CALLBACK CImageButton::WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = static_cast<CImageButton*>(FromHandlePermanent(hwnd));
    if (!self) return DefWindowProcW(hwnd, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        const WNDPROC previous = self->previousProc_;
        self->Unsubclass();
        return CallWindowProcW(previous, hwnd, message, wParam, lParam);
    }
    return self->OnMessage(message, wParam, lParam);
}

}  // namespace voicemsg
