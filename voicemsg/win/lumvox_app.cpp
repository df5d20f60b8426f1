#include "voicemsg/win/lumvox_app.h"

#include <commctrl.h>

#include "voicemsg/win/window_object.h"

CLumvoxApp theApp;

BOOL CLumvoxApp::InitInstance() {
    if (m_initialised) return TRUE;
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_BAR_CLASSES | ICC_STANDARD_CLASSES};
    m_initialised = InitCommonControlsEx(&controls) != FALSE;
    return m_initialised;
}

BOOL CLumvoxApp::PreTranslateMessage(MSG* msg) {
    for (HWND hwnd = msg->hwnd; hwnd; hwnd = GetParent(hwnd)) {
        CWindowObject* window = CWindowObject::FromHandlePermanent(hwnd);
        if (window && window->PreTranslateMessage(msg)) return TRUE;
    }
    return FALSE;
}
