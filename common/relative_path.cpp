#include "common/relative_path.h"

#include <array>
#include <string>

#include "common/ascii_case.h"
#include "common/gbk_text.h"

namespace common {

bool IsDeviceName(std::string_view component) {
    std::string base;
    for (char c : component.substr(0, component.find('.'))) base += AsciiUpper(c);
    while (!base.empty() && base.back() == ' ') base.pop_back();
    static constexpr std::array<std::string_view, 6> kDevices = {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$"};
    for (std::string_view device : kDevices)
        if (base == device) return true;
    return base.size() == 4 && (base.starts_with("COM") || base.starts_with("LPT")) && base[3] >= '0' &&
           base[3] <= '9';
}

bool IsEscapingComponent(std::string_view component) {
    if (component.empty() || component == ".") return false;
    return component.find(':') != std::string_view::npos ||
           component.find_first_not_of(". ") == std::string_view::npos || IsDeviceName(component);
}

std::vector<std::string_view> PathComponents(std::string_view name, PathText text) {
    std::vector<std::string_view> components;
    std::size_t start = 0;
    for (std::size_t at = 0; at < name.size();) {
        if (IsPathSeparator(name[at])) {
            components.push_back(name.substr(start, at - start));
            start = ++at;
        } else {
            at += text == PathText::Gbk ? GbkCharacterLength(name, at) : 1;
        }
    }
    components.push_back(name.substr(start));
    return components;
}

}  // namespace common
