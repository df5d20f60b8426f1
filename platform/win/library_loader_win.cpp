#include "platform/library_loader.h"

#include <windows.h>

namespace platform {

void* LoadLibraryByName(const std::string& name) { return LoadLibraryA(name.c_str()); }

void* LookUpExport(void* library, const char* name) {
    return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(library), name));
}

void UnloadLibrary(void* library) { FreeLibrary(static_cast<HMODULE>(library)); }

}  // namespace platform
