#include "update/unzdll/file_specs.h"

#include <algorithm>

#include "common/utf8_text.h"

namespace unzdll {

using common::Utf8CharacterLength;

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
            n += Utf8CharacterLength(name, n);
        } else if (p < pattern.size() && pattern[p] == name[n]) {
            ++p;
            ++n;
        } else if (starP != kNone) {
            starN += Utf8CharacterLength(name, starN);
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
