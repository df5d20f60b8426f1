#include <unistd.h>

#include <climits>

#include "platform/module_file.h"
#include "platform/text_encoding.h"

namespace platform {

std::string ModuleFileName() {
    char buffer[PATH_MAX];
    const ssize_t n = ::readlink("/proc/self/exe", buffer, sizeof buffer);
    if (n <= 0 || std::size_t(n) >= sizeof buffer) return {};
    return Utf8ToGbk(std::string_view(buffer, std::size_t(n)));
}

}  // namespace platform
