#pragma once
// Binds a shared library by name, as the messenger binds ZiroMail.
#include <string>

void* LoadLibraryByName(const std::string& name);
void* LookUpExport(void* library, const char* name);
