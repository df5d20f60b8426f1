#include "update/code_convert.h"

#include "common/base64.h"
#include "common/utf8_text.h"
#include "platform/text_encoding.h"

namespace update {

namespace {

// One UTF-16 unit as GBK: at most two bytes, "?" when the code page has no such character.
std::string UnitToGbk(uint32_t unit) {
    if (unit >= 0xD800 && unit <= 0xDFFF) return "?";
    std::string utf8;
    common::AppendUtf8(utf8, unit);
    const std::string gbk = platform::Utf8ToGbk(utf8);
    return gbk.size() <= 2 ? gbk : std::string("?");
}

}  // namespace

std::string CCodeConvert::Utf8ToAnsi(const uint8_t* bytes, std::size_t count) const {
    std::string out;
    for (std::size_t i = 0; i < count;) {
        if (bytes[i] < 0x80) {
            out += char(bytes[i++]);
            continue;
        }
        if (count - i < 3) break;
        out += UnitToGbk(common::Utf8SequenceValue(bytes + i, 3));
        i += 3;
    }
    return out;
}

std::optional<std::string> Base64Decode(std::string_view text) {
    if (text.size() % 4 != 0) return std::nullopt;
    std::string bytes;
    bytes.reserve(text.size() / 4 * 3);
    for (std::size_t i = 0; i < text.size(); i += 4) {
        uint32_t group = 0;
        for (std::size_t j = 0; j < 4; ++j) {
            const char c = text[i + j];
            const int value = c == '=' ? 0 : common::Base64Value(c);
            if (value < 0) return std::nullopt;
            group = group << 6 | uint32_t(value);
        }
        bytes += char(group >> 16);
        bytes += char(group >> 8);
        bytes += char(group);
    }
    const std::size_t zero = bytes.find('\0');
    if (zero != std::string::npos) bytes.resize(zero);
    return bytes;
}

std::string WithCarriageReturns(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r')) out += '\r';
        out += text[i];
    }
    return out;
}

std::string DescriptionText(const std::string& description, bool fixLineBreaks) {
    const std::optional<std::string> bytes = Base64Decode(description);
    if (!bytes) return {};
    const std::string text =
        CCodeConvert().Utf8ToAnsi(reinterpret_cast<const uint8_t*>(bytes->data()), bytes->size());
    return fixLineBreaks ? WithCarriageReturns(text) : text;
}

}  // namespace update
