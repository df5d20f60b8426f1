#include "mail/coders/encoded_words.h"

#include <algorithm>

#include "mail/coders/base64.h"
#include "mail/text/ascii.h"

namespace ziromail {

namespace {

constexpr std::size_t kLineLimit = 76;
constexpr std::size_t kWordLimit = 75;  // RFC 2047 section 2

std::size_t CharacterLength(std::string_view bytes, std::size_t at) {
    return static_cast<unsigned char>(bytes[at]) >= 0x81 && at + 1 < bytes.size() ? 2 : 1;
}

// How many bytes from `at` fit in `base64Room` characters of base64, in whole
// characters; at least one character, so that every word holds something.
std::size_t FittingBytes(std::string_view bytes, std::size_t at, std::size_t base64Room) {
    std::size_t limit = base64Room / 4 * 3;
    std::size_t taken = CharacterLength(bytes, at);
    while (at + taken < bytes.size() && taken + CharacterLength(bytes, at + taken) <= limit)
        taken += CharacterLength(bytes, at + taken);
    return taken;
}

std::string Base64Text(std::string_view bytes) {
    std::string text(Base64TextLength(bytes.size()), '\0');
    Base64EncodeLine(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size(), text.data(), text.size());
    return text;
}

bool IsFoldingBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// The bytes of "=?charset?B?text?=" or "=?charset?Q?text?=" starting at `at`,
// and where it ends; false when no encoded word starts there.
bool DecodeWordAt(std::string_view text, std::size_t at, std::string& bytes, std::size_t& end) {
    if (text.compare(at, 2, "=?") != 0) return false;
    std::size_t charsetEnd = text.find('?', at + 2);
    if (charsetEnd == std::string_view::npos || charsetEnd + 2 >= text.size() || text[charsetEnd + 2] != '?')
        return false;
    std::size_t close = text.find("?=", charsetEnd + 3);
    if (close == std::string_view::npos || AsciiLower(text[charsetEnd + 1]) != 'b') return false;
    std::string_view encoded = text.substr(charsetEnd + 3, close - (charsetEnd + 3));
    bytes.assign(encoded.size(), '\0');
    bytes.resize(Base64Decode(encoded.data(), encoded.size(), reinterpret_cast<unsigned char*>(bytes.data()),
                              bytes.size()));
    end = close + 2;
    return true;
}

}  // namespace

bool HasNonAscii(std::string_view text) {
    return std::any_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) >= 128; });
}

void FoldedHeaderText::Append(std::string_view text) {
    text_ += text;
    column_ += text.size();
}

void FoldedHeaderText::Fold() {
    text_ += "\r\n ";
    column_ = 1;
}

void FoldedHeaderText::AppendEncoded(std::string_view bytes, std::string_view charset) {
    std::string prefix = "=?" + std::string(charset) + "?B?";
    std::size_t overhead = prefix.size() + 2;
    for (std::size_t at = 0; at < bytes.size();) {
        // Room for at least one two-byte character (four base64 characters).
        if (at > 0 || (column_ > 1 && column_ + overhead + 4 > kLineLimit)) Fold();
        std::size_t room = std::min(kLineLimit - std::min(column_, kLineLimit), kWordLimit);
        std::size_t taken = FittingBytes(bytes, at, room > overhead ? room - overhead : 0);
        Append(prefix + Base64Text(bytes.substr(at, taken)) + "?=");
        at += taken;
    }
}

std::string DecodeEncodedWords(std::string_view text) {
    std::string out;
    std::size_t pending = std::string::npos;  // where the blanks after an encoded word began in `out`
    for (std::size_t at = 0; at < text.size();) {
        std::string bytes;
        std::size_t end;
        if (DecodeWordAt(text, at, bytes, end)) {
            if (pending != std::string::npos) out.resize(pending);
            out += bytes;
            pending = out.size();
            at = end;
            continue;
        }
        if (!IsFoldingBlank(text[at])) pending = std::string::npos;
        out += text[at++];
    }
    return out;
}

}  // namespace ziromail
