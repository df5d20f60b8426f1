#pragma once
#include <windows.h>

#include "voicemsg/image_button_logic.h"
#include "voicemsg/win/window_object.h"

// An owner-drawn push button that draws itself from a strip of images:
// normal, hover (also pressed, shifted inside two light-blue frames) and
// disabled. The owner sets the strip and the image size after binding; the
// strip stays the owner's.
class CImageButton : public CWindowObject {
public:
    ~CImageButton() override;

    // Takes over the dialog's control: its own drawing, no edges.
    BOOL SubclassDlgItem(UINT id, HWND parent);
    BOOL PreTranslateMessage(MSG* msg) override;
    // The parent's WM_DRAWITEM for this button.
    void DrawItem(const DRAWITEMSTRUCT* item);
    virtual void DrawButton(HDC target, UINT flags);

    HBITMAP m_hImage = nullptr;
    int m_nImageWidth = 0;
    int m_nImageHeight = 0;

private:
    void PreSubclassWindow();
    void Unsubclass();
    void DrawCaption(HDC dc, RECT area) const;
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

    image_button::HoverState m_hover;
    WNDPROC m_previousProc = nullptr;
};
