#pragma once
#include <cstdint>
#include <optional>

namespace rtp {

// Dotted decimal IPv4 ("a.b.c.d", each 0..255) to an address in network order,
// laid out in memory as the four bytes a, b, c, d.
std::optional<uint32_t> ParseIpv4(const char* text);

// The address built from the four bytes as they appear in the dotted text.
uint32_t Ipv4FromBytes(uint8_t a, uint8_t b, uint8_t c, uint8_t d);

}  // namespace rtp
