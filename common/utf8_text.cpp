#include "common/utf8_text.h"

namespace common {

std::optional<Utf8Character> DecodeUtf8(std::string_view text, std::size_t at) {
    const auto* bytes = reinterpret_cast<const uint8_t*>(text.data()) + at;
    const uint8_t lead = bytes[0];
    if (lead < 0x80) return Utf8Character{lead, 1};
    if (lead < 0xC2 || lead > 0xF4) return std::nullopt;  // a continuation, an overlong pair, or past U+10FFFF
    const std::size_t length = Utf8SequenceLength(lead);
    if (text.size() - at < length) return std::nullopt;
    for (std::size_t i = 1; i < length; ++i)
        if (!IsUtf8Continuation(bytes[i])) return std::nullopt;
    const uint32_t value = Utf8SequenceValue(bytes, length);
    const bool overlong = (length == 3 && value < 0x800) || (length == 4 && value < 0x10000);
    if (overlong || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) return std::nullopt;
    return Utf8Character{value, length};
}

bool IsValidUtf8(std::string_view text) {
    for (std::size_t at = 0; at < text.size();) {
        const std::optional<Utf8Character> character = DecodeUtf8(text, at);
        if (!character) return false;
        at += character->length;
    }
    return true;
}

void AppendUtf8(std::string& out, uint32_t value) {
    if (value < 0x80) {
        out += char(value);
        return;
    }
    const std::size_t length = value < 0x800 ? 2 : value < 0x10000 ? 3 : 4;
    const uint8_t leads[] = {0, 0, 0xC0, 0xE0, 0xF0};
    out += char(leads[length] | value >> (6 * (length - 1)));
    for (std::size_t i = length - 1; i > 0; --i) out += char(0x80 | ((value >> (6 * (i - 1))) & 0x3F));
}

}  // namespace common
