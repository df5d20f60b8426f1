#pragma once
// The Base64 core (standard alphabet, "=" padding) that every component's own
// framing is built on: the mail's lines, the voice message's chunks, the
// updater's descriptions. Each caller applies its own rules for bad input.
#include <cstddef>
#include <cstdint>

namespace common {

// Characters that encode `bytes` bytes, padding included.
constexpr std::size_t Base64Length(std::size_t bytes) { return (bytes + 2) / 3 * 4; }

// Writes exactly Base64Length(length) characters to `out` (no terminator).
void Base64Encode(const uint8_t* data, std::size_t length, char* out);

// The 6-bit value of an alphabet character; -1 for anything else, "=" included.
int Base64Value(char c);

// Decodes one group of four characters of standard form: four alphabet
// characters give 3 bytes, "xx==" gives 1 and "xxx=" gives 2. Returns the
// number of bytes written to `out`, or -1 (nothing written) for any other group.
int Base64DecodeGroup(const char* group, uint8_t* out);

}  // namespace common
