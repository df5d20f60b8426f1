#pragma once
// GBK (code page 936) characters as bytes: a lead byte and a trail byte form
// one character, every other byte is one of its own. A trail byte may be an
// ASCII letter or 0x5C ("\"), which inside a character is neither.
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace common {

constexpr bool IsGbkLeadByte(uint8_t c) { return c >= 0x81 && c <= 0xFE; }
constexpr bool IsGbkTrailByte(uint8_t c) { return c >= 0x40 && c <= 0xFE && c != 0x7F; }

// Bytes of the character that starts at text[at]: 2 for a lead byte followed
// by a trail byte, else 1.
constexpr std::size_t GbkCharacterLength(std::string_view text, std::size_t at) {
    return IsGbkLeadByte(uint8_t(text[at])) && at + 1 < text.size() && IsGbkTrailByte(uint8_t(text[at + 1])) ? 2 : 1;
}

// The longest start of `text` of at most `limit` bytes that splits no character.
constexpr std::size_t GbkPrefixLength(std::string_view text, std::size_t limit) {
    std::size_t length = 0;
    while (length < text.size()) {
        const std::size_t next = length + GbkCharacterLength(text, length);
        if (next > limit) break;
        length = next;
    }
    return length;
}

}  // namespace common
