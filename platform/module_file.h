#pragma once
#include <string>

namespace platform {

// Full path of the running program's executable; empty when the system gives
// none or only a cut one.
std::string ModuleFileName();

}  // namespace platform
