#include "platform/library_loader.h"

#include <dlfcn.h>

namespace platform {

void* LoadLibraryByName(const std::string& name) { return dlopen(name.c_str(), RTLD_NOW | RTLD_LOCAL); }

void* LookUpExport(void* library, const char* name) { return dlsym(library, name); }

void UnloadLibrary(void* library) { dlclose(library); }

}  // namespace platform
