#pragma once
#include <windows.h>

namespace voicemsg {

// The library's application object: its module and the thread-level message
// pre-translation that the host reaches through FilterDllMsg.
class CLumvoxApp {
public:
    void SetInstance(HINSTANCE instance) { instance_ = instance; }
    HINSTANCE Instance() const { return instance_; }
    // The default initialisation: the common controls the dialog uses. Once.
    BOOL InitInstance();
    // Offers the message to each of our windows from its target up through
    // its parents; nonzero when one handled it.
    BOOL PreTranslateMessage(MSG* msg);

private:
    HINSTANCE instance_ = nullptr;
    bool initialised_ = false;
};

extern CLumvoxApp theApp;

}  // namespace voicemsg
