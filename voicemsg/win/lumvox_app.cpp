#include "voicemsg/win/lumvox_app.h"

#include <commctrl.h>

#include "platform/win/window_object.h"

namespace voicemsg {

CLumvoxApp theApp;

BOOL CLumvoxApp::InitInstance() {
    if (initialised_) return TRUE;
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_BAR_CLASSES | ICC_STANDARD_CLASSES};
    initialised_ = InitCommonControlsEx(&controls) != FALSE;
    return initialised_;
}

BOOL CLumvoxApp::PreTranslateMessage(MSG* msg) {
    for (HWND hwnd = msg->hwnd; hwnd; hwnd = GetParent(hwnd)) {
        platform::CWindowObject* window = platform::CWindowObject::FromHandlePermanent(hwnd);
        if (window && window->PreTranslateMessage(msg)) return TRUE;
    }
    return FALSE;
}

}  // namespace voicemsg
