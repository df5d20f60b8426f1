#include "update/tools/publish/vendor_text.h"

#include <cstdio>

#include "common/base64.h"
#include "common/utf8_text.h"
#include "platform/text_encoding.h"
#include "update/code_convert.h"
#include "update/tools/publish/publish_error.h"

namespace publish {

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

std::string CodePoint(uint32_t value) {
    char text[16];
    std::snprintf(text, sizeof text, "U+%04X", unsigned(value));
    return text;
}

// The updater shows a character as written when it is ASCII other than zero
// (which would end the text), or three bytes of UTF-8 that GBK writes in two.
bool ShownAsWritten(std::string_view character, uint32_t value) {
    if (character.size() == 1) return value != 0;
    if (character.size() != 3) return false;
    const std::string gbk = platform::Utf8ToGbk(character);
    return gbk.size() == 2 && platform::GbkToUtf8(gbk) == character;
}

}  // namespace

std::string GbkOf(const std::string& utf8, const std::string& what) {
    const std::string gbk = platform::Utf8ToGbk(utf8);
    if (!common::IsValidUtf8(utf8) || platform::GbkToUtf8(gbk) != utf8)
        throw PublishError(what + " \"" + utf8 + "\" has characters that GBK cannot write");
    return gbk;
}

std::string DescriptionBase64(std::string text) {
    if (text.starts_with(kByteOrderMark)) text.erase(0, kByteOrderMark.size());
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
    int line = 1;
    for (std::size_t at = 0; at < text.size();) {
        const std::optional<common::Utf8Character> character = common::DecodeUtf8(text, at);
        if (!character) throw PublishError("the description is not UTF-8 (line " + std::to_string(line) + ")");
        if (!ShownAsWritten(std::string_view(text).substr(at, character->length), character->value))
            throw PublishError("the description's character " + CodePoint(character->value) + " on line " +
                               std::to_string(line) + " is not one the updater shows (ASCII, or Chinese text that "
                               "GBK writes)");
        if (character->value == '\n') ++line;
        at += character->length;
    }
    std::string base64(common::Base64Length(text.size()), '\0');
    common::Base64Encode(reinterpret_cast<const uint8_t*>(text.data()), text.size(), base64.data());
    // What the updater will show, read back by its own decoder.
    if (update::DescriptionText(base64, false) != platform::Utf8ToGbk(text))
        throw PublishError("the description does not read back as written");
    return base64;
}

}  // namespace publish
