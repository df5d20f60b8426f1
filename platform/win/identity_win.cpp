#include "platform/identity.h"

#include <winsock2.h>
#include <windows.h>

namespace platform {

std::string LoginNameUtf8() {
    wchar_t wide[257] = {};
    DWORD size = 257;
    if (!GetUserNameW(wide, &size)) return {};
    char utf8[1024] = {};
    const int n = WideCharToMultiByte(CP_UTF8, 0, wide, -1, utf8, sizeof utf8, nullptr, nullptr);
    return n > 0 ? std::string(utf8) : std::string();
}

std::string HostName() {
    char name[256] = {};
    if (gethostname(name, sizeof name - 1) != 0) return {};
    return name;
}

}  // namespace platform
