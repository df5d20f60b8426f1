#pragma once
// Version texts of the manifest and the command line as four signed numbers.
#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace update {

struct VersionNumber {
    std::array<int32_t, 4> parts{};
    bool operator==(const VersionNumber&) const = default;
};

// What an empty text, or one without any ".", reads as.
inline constexpr VersionNumber kUndottedVersion{{2, 9, 3, 27}};

// The C library's atoi, with a value beyond the int range held at its limit.
int32_t LeadingNumber(std::string_view text);

// "a.b.c.d"; missing middle parts read 0 and anything after a fourth "." is
// the fourth part ("1.2.3" is 1.2.0.3, "1.2.3.4.5" is 1.2.3.5).
VersionNumber ParseVersion(std::string_view text);

// True when a's first differing part is greater.
bool IsNewer(const VersionNumber& a, const VersionNumber& b);

// The four numbers joined by ".".
std::string FormatVersion(const VersionNumber& version);

}  // namespace update
