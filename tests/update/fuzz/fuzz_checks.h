#pragma once
// What every updater fuzz target checks.
#include <cstdlib>
#include <string>

#include "update/update_paths.h"

namespace update::fuzz {

inline void Check(bool condition) {
    if (!condition) std::abort();
}

// A file action's name, once accepted, stays inside the client folder.
inline void CheckActionName(const std::string& name) {
    const auto normalised = NormalisedActionName(name, '/');
    if (!normalised) return;
    Check(!normalised->empty() && (*normalised)[0] == '/');
    Check(normalised->find("/../") == std::string::npos && !normalised->ends_with("/..") &&
          normalised->find(':') == std::string::npos);
}

}  // namespace update::fuzz
