#include <dlfcn.h>

#include "mail/host/library_loader.h"

void* LoadLibraryByName(const std::string& name) { return dlopen(name.c_str(), RTLD_NOW | RTLD_LOCAL); }

void* LookUpExport(void* library, const char* name) { return dlsym(library, name); }
