#pragma once
#include <windows.h>

#include "platform/win/window_object.h"
#include "voicemsg/image_button_logic.h"

namespace voicemsg {

// An owner-drawn push button that draws itself from a strip of images:
// normal, hover (also pressed, shifted inside two light-blue frames) and
// disabled. The owner sets the strip and the image size after binding; the
// strip stays the owner's.
class CImageButton : public platform::CWindowObject {
public:
    ~CImageButton() override;

    // Takes over the dialog's control: its own drawing, no edges.
    BOOL SubclassDlgItem(UINT id, HWND parent);
    BOOL PreTranslateMessage(MSG* msg) override;
    // The parent's WM_DRAWITEM for this button.
    void DrawItem(const DRAWITEMSTRUCT* item);
    virtual void DrawButton(HDC target, UINT flags);
    // The strip and the size of one of its images.
    void SetImage(HBITMAP image, int width, int height);

private:
    void PreSubclassWindow();
    void Unsubclass();
    void DrawCaption(HDC dc, RECT area) const;
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

    HBITMAP image_ = nullptr;
    int imageWidth_ = 0;
    int imageHeight_ = 0;
    image_button::HoverState hover_;
    WNDPROC previousProc_ = nullptr;
};

}  // namespace voicemsg
