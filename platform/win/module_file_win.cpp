#include <windows.h>

#include "platform/module_file.h"
#include "platform/win/wide_text.h"

namespace platform {

// In GBK whatever the system's code page. A path longer than the 260 bytes
// the updater's paths may have is refused: a cut path is worse than none.
std::string ModuleFileName() {
    wchar_t buffer[MAX_PATH];
    const DWORD n = GetModuleFileNameW(nullptr, buffer, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) return {};
    std::string path = WideToGbk(std::wstring_view(buffer, n));
    return path.size() < MAX_PATH ? path : std::string();
}

}  // namespace platform
