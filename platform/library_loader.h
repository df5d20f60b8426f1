#pragma once
// Binds a shared library by name and looks up its exports, as a host does.
#include <string>

namespace platform {

void* LoadLibraryByName(const std::string& name);
void* LookUpExport(void* library, const char* name);
void UnloadLibrary(void* library);

}  // namespace platform
