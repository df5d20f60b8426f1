#include "platform/win/window_object.h"

#include <map>

namespace platform {
namespace {

std::map<HWND, CWindowObject*>& Windows() {
    static std::map<HWND, CWindowObject*> windows;
    return windows;
}

}  // namespace

CWindowObject::~CWindowObject() { Detach(); }

BOOL CWindowObject::PreTranslateMessage(MSG*) { return FALSE; }

CWindowObject* CWindowObject::FromHandlePermanent(HWND window) {
    const auto found = Windows().find(window);
    return found == Windows().end() ? nullptr : found->second;
}

void CWindowObject::Attach(HWND window) {
    window_ = window;
    Windows()[window] = this;
}

void CWindowObject::Detach() {
    if (!window_) return;
    Windows().erase(window_);
    window_ = nullptr;
}

}  // namespace platform
