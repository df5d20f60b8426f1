#pragma once
#include <windows.h>

// A window that this module drives, found again from its handle: the dialog
// procedures and subclassed controls reach their objects this way, and the
// messages of a thread can be pre-translated by the windows they are for.
// Used on the windows' own thread only.
namespace platform {

class CWindowObject {
public:
    CWindowObject() = default;
    virtual ~CWindowObject();
    CWindowObject(const CWindowObject&) = delete;
    CWindowObject& operator=(const CWindowObject&) = delete;

    HWND GetSafeHwnd() const { return window_; }
    // Nonzero when the message was handled and must not be dispatched.
    virtual BOOL PreTranslateMessage(MSG* msg);

    static CWindowObject* FromHandlePermanent(HWND window);

protected:
    void Attach(HWND window);
    void Detach();

    HWND window_ = nullptr;
};

}  // namespace platform
