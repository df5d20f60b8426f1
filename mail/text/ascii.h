#pragma once
// ASCII-only comparisons: header and encoding names are ASCII, values may hold GBK bytes.
#include <string_view>

#include "common/ascii_case.h"

namespace ziromail {

using common::AsciiLower;

constexpr bool EqualsIgnoreCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (AsciiLower(a[i]) != AsciiLower(b[i])) return false;
    return true;
}

constexpr bool StartsWithIgnoreCase(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() && EqualsIgnoreCase(text.substr(0, prefix.size()), prefix);
}

}  // namespace ziromail
