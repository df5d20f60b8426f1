#include <windows.h>

#include "platform/system/module_file.h"

namespace platform {

// The 260-byte buffer of the ANSI call; a longer path comes back cut, and a
// cut path is worse than none.
std::string ModuleFileName() {
    char buffer[MAX_PATH];
    const DWORD n = GetModuleFileNameA(nullptr, buffer, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) return {};
    return std::string(buffer, n);
}

}  // namespace platform
