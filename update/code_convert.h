#pragma once
// Manifest descriptions: Base64 of UTF-8 text, shown as GBK.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace update {

class CCodeConvert {
public:
    virtual ~CCodeConvert() = default;
    // One- and three-byte UTF-8 sequences to GBK, one character at a time; a
    // sequence cut short at the end is dropped.
    std::string Utf8ToAnsi(const uint8_t* bytes, std::size_t count) const;
};

// The decoded bytes up to the first zero byte; nothing when the length is not
// a multiple of 4 or a character is outside the alphabet ("=" reads as zero bits).
std::optional<std::string> Base64Decode(std::string_view text);

// Puts a carriage return before every line feed that has none.
std::string WithCarriageReturns(const std::string& text);

// A description as the details show it: decoded, converted, line breaks fixed
// when asked; empty when it does not decode.
std::string DescriptionText(const std::string& description, bool fixLineBreaks);

}  // namespace update
