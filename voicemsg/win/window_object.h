#pragma once
#include <windows.h>

// A window this library drives, found again from its handle so that messages
// can be pre-translated by the windows they are for. Used on the dialog's
// thread only.
class CWindowObject {
public:
    CWindowObject() = default;
    virtual ~CWindowObject();
    CWindowObject(const CWindowObject&) = delete;
    CWindowObject& operator=(const CWindowObject&) = delete;

    HWND GetSafeHwnd() const { return m_hWnd; }
    // Nonzero when the message was handled and must not be dispatched.
    virtual BOOL PreTranslateMessage(MSG* msg);

    static CWindowObject* FromHandlePermanent(HWND hwnd);

protected:
    void Attach(HWND hwnd);
    void Detach();

    HWND m_hWnd = nullptr;
};
