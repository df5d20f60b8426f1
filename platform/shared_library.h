#pragma once
// Binding a shared library at run time.
#include <string>

namespace platform {

// By full path only, so the loader searches nowhere; nothing (null) when the
// file cannot be loaded.
void* LoadLibraryAt(const std::string& path);
// As a host program binds a library: a name goes through the system's search.
void* LoadLibraryByName(const std::string& name);
void* LibrarySymbol(void* library, const char* name);
void UnloadLibrary(void* library);

}  // namespace platform
