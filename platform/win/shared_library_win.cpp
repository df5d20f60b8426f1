#include <windows.h>

#include "platform/shared_library.h"
#include "platform/win/wide_text.h"

namespace platform {

void* LoadLibraryAt(const std::string& path) {
    // Without a folder the loader would search the current and system folders.
    if (path.find('\\') == std::string::npos) return nullptr;
    return LoadLibraryExW(GbkToWide(path).c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

void* LoadLibraryByName(const std::string& name) { return LoadLibraryA(name.c_str()); }

void* LibrarySymbol(void* library, const char* name) {
    return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(library), name));
}

void UnloadLibrary(void* library) { FreeLibrary(static_cast<HMODULE>(library)); }

}  // namespace platform
