#pragma once
// Base64 as the key and signature files carry it: the standard alphabet in
// whole groups of four, "=" padding only in the last group, nothing else.
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace update::trust {

// Nothing when any character or group is out of place.
std::optional<std::vector<uint8_t>> DecodeStrictBase64(std::string_view text);

}  // namespace update::trust
