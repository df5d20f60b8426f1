#include <dlfcn.h>

#include "platform/shared_library.h"
#include "platform/text_encoding.h"

namespace platform {

void* LoadLibraryAt(const std::string& path) {
    // A name without "/" would make the loader search its paths.
    if (path.find('/') == std::string::npos) return nullptr;
    return ::dlopen(GbkToUtf8(path).c_str(), RTLD_NOW | RTLD_LOCAL);
}

void* LoadLibraryByName(const std::string& name) { return ::dlopen(name.c_str(), RTLD_NOW | RTLD_LOCAL); }

void* LibrarySymbol(void* library, const char* name) { return ::dlsym(library, name); }

void UnloadLibrary(void* library) { ::dlclose(library); }

}  // namespace platform
