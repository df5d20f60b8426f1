#pragma once
// Whether a relative name stays inside the folder it is taken in. The rule is
// Windows', the strictest of the systems the products run on, so that a name
// refused on one system is refused on all of them.
#include <string_view>
#include <vector>

namespace common {

constexpr bool IsPathSeparator(char c) { return c == '/' || c == '\\'; }

// Windows opens a device for these names, whatever the extension.
bool IsDeviceName(std::string_view component);

// A component that leaves or replaces its folder: one with a drive or stream
// ":", one of dots and spaces only other than "." (Windows drops trailing dots
// and spaces, so ". ." is ".."), or a device name. Empty and "." components stay.
bool IsEscapingComponent(std::string_view component);

enum class PathText { Gbk, Utf8 };

// The components of `name` between "/" and "\" separators, empty ones
// included. In GBK a trail byte 0x5C inside a character separates nothing.
std::vector<std::string_view> PathComponents(std::string_view name, PathText text);

}  // namespace common
