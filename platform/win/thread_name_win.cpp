#include "platform/thread_name.h"

#include <windows.h>

#include <string>

namespace platform {

// SetThreadDescription exists from Windows 10 on; older systems go without names.
void NameThisThread(const char* name) {
    using SetDescription = HRESULT(WINAPI*)(HANDLE, PCWSTR);
    static const auto set = reinterpret_cast<SetDescription>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "SetThreadDescription")));
    if (!set) return;
    const std::wstring wide(name, name + std::char_traits<char>::length(name));  // ASCII
    set(GetCurrentThread(), wide.c_str());
}

}  // namespace platform
