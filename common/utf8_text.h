#pragma once
// UTF-8 as bytes: the length a lead byte announces, a sequence's value, the
// strict reading (no overlong forms, no surrogates, nothing past U+10FFFF) and
// the writing of one character.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace common {

constexpr bool IsUtf8Continuation(uint8_t c) { return (c & 0xC0) == 0x80; }

// 1 for ASCII and for any byte that cannot start a longer sequence, else 2 to 4.
constexpr std::size_t Utf8SequenceLength(uint8_t lead) { return lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1; }

// Bytes of the character that starts at text[at] as its lead byte announces
// it, at least 1 and never past the end.
constexpr std::size_t Utf8CharacterLength(std::string_view text, std::size_t at) {
    const std::size_t length = Utf8SequenceLength(uint8_t(text[at]));
    return length < text.size() - at ? length : text.size() - at;
}

// The value bits of a sequence of `length` bytes (1 to 4), whether or not it is well formed.
constexpr uint32_t Utf8SequenceValue(const uint8_t* bytes, std::size_t length) {
    uint32_t value = length == 1 ? bytes[0] : bytes[0] & (0x7Fu >> length);
    for (std::size_t i = 1; i < length; ++i) value = value << 6 | (bytes[i] & 0x3Fu);
    return value;
}

struct Utf8Character {
    uint32_t value;
    std::size_t length;
};

// The well-formed character that starts at text[at]; nothing for any other bytes.
std::optional<Utf8Character> DecodeUtf8(std::string_view text, std::size_t at);

bool IsValidUtf8(std::string_view text);

// Appends the character `value` (up to U+10FFFF) in one to four bytes.
void AppendUtf8(std::string& out, uint32_t value);

}  // namespace common
