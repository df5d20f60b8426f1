#pragma once
// Binding a shared library at run time, always by full path.
#include <string>

namespace platform {

// Nothing (null) when the file cannot be loaded.
void* LoadLibraryAt(const std::string& path);
void* LibrarySymbol(void* library, const char* name);
void UnloadLibrary(void* library);

}  // namespace platform
