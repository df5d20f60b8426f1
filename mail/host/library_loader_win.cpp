#include <windows.h>

#include "mail/host/library_loader.h"

void* LoadLibraryByName(const std::string& name) { return LoadLibraryA(name.c_str()); }

void* LookUpExport(void* library, const char* name) {
    return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(library), name));
}
