#pragma once
#include <windows.h>

#include "platform/win/window_object.h"

// What the products' Win32 dialogs share: one dialog procedure that binds the
// object to its window when the dialog is made (and lets go when it is gone),
// the application icon as the window's big and small icon, drawn centred
// while the dialog is minimised and given as its drag icon. The derived
// dialog handles everything else.
namespace platform {

class CDialogWindow : public CWindowObject {
public:
    ~CDialogWindow() override;

protected:
    // The icon resource `iconId` of `instance`, at the system's two icon sizes.
    CDialogWindow(HINSTANCE instance, int iconId);

    // The procedure to create the dialog with, the object as its parameter.
    static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    // WM_INITDIALOG, once the object is bound and the icons are set.
    virtual BOOL OnInitDialog() = 0;
    // Every other message up to WM_NCDESTROY; FALSE for the default handling.
    virtual INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam) = 0;

private:
    bool PaintMinimised();

    HICON icon_;
    HICON smallIcon_;
};

}  // namespace platform
