#include "platform/identity.h"

#include <pwd.h>
#include <unistd.h>

namespace platform {

std::string LoginNameUtf8() {
    if (const passwd* entry = getpwuid(geteuid())) return entry->pw_name;
    return {};
}

std::string HostName() {
    char name[256] = {};
    if (gethostname(name, sizeof name - 1) != 0) return {};
    return name;
}

}  // namespace platform
