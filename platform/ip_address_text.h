#pragma once
// IPv4 addresses written as text, where a name may be either an address or a host name.
#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

namespace platform {

using Ipv4Bytes = std::array<std::uint8_t, 4>;

// The four bytes of a dotted IPv4 address such as "127.0.0.1" (four decimal
// numbers up to 255, no leading zeros); none for anything else, host names included.
std::optional<Ipv4Bytes> ParseDottedIpv4(std::string_view text);

}  // namespace platform
