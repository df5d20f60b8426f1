#include "voicemsg/win/window_object.h"

#include <map>

namespace {

std::map<HWND, CWindowObject*>& Windows() {
    static std::map<HWND, CWindowObject*> windows;
    return windows;
}

}  // namespace

CWindowObject::~CWindowObject() { Detach(); }

BOOL CWindowObject::PreTranslateMessage(MSG*) { return FALSE; }

CWindowObject* CWindowObject::FromHandlePermanent(HWND hwnd) {
    const auto found = Windows().find(hwnd);
    return found == Windows().end() ? nullptr : found->second;
}

void CWindowObject::Attach(HWND hwnd) {
    m_hWnd = hwnd;
    Windows()[hwnd] = this;
}

void CWindowObject::Detach() {
    if (!m_hWnd) return;
    Windows().erase(m_hWnd);
    m_hWnd = nullptr;
}
