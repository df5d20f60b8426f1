#include "update/unzdll/file_specs.h"

#include <algorithm>
#include <cstdint>

namespace unzdll {
namespace {

// Bytes of the UTF-8 character starting at `at`, at least 1 and never past the end.
size_t CharacterLength(std::string_view text, size_t at) {
    const uint8_t lead = uint8_t(text[at]);
    const size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
    return std::min(length, text.size() - at);
}

}  // namespace

bool WildcardMatch(std::string_view pattern, std::string_view name) {
    if (pattern == "*.*") return true;
    constexpr size_t kNone = std::string_view::npos;
    size_t p = 0, n = 0;
    size_t starP = kNone, starN = 0;  // where to retry when the last "*" must swallow more
    while (n < name.size()) {
        if (p < pattern.size() && pattern[p] == '*') {
            starP = ++p;
            starN = n;
        } else if (p < pattern.size() && pattern[p] == '?') {
            ++p;
            n += CharacterLength(name, n);
        } else if (p < pattern.size() && pattern[p] == name[n]) {
            ++p;
            ++n;
        } else if (starP != kNone) {
            starN += CharacterLength(name, starN);
            n = starN;
            p = starP;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*') ++p;
    return p == pattern.size();
}

bool FileSpecs::Matches(std::string_view name) const {
    return patterns_.empty() ||
           std::any_of(patterns_.begin(), patterns_.end(),
                       [&](const std::string& pattern) { return WildcardMatch(pattern, name); });
}

}  // namespace unzdll
