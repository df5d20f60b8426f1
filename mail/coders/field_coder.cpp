#include "mail/coders/field_coder.h"

#include <algorithm>

#include "mail/coders/base64.h"
#include "mail/text/ascii.h"

namespace ziromail {

namespace {

bool HasNonAscii(std::string_view text) {
    return std::any_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) >= 128; });
}

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// "=?charset?B?...?=" around the piece's text; blanks around it and an
// address in angle brackets stay outside.
std::string EncodePiece(std::string_view piece, const std::string& charset) {
    std::size_t end = std::min(piece.find('<'), piece.size());
    if (!HasNonAscii(piece.substr(0, end))) return std::string(piece);
    std::size_t begin = 0;
    while (begin < end && IsBlank(piece[begin])) ++begin;
    while (end > begin && IsBlank(piece[end - 1])) --end;
    std::string_view text = piece.substr(begin, end - begin);
    std::string encoded(Base64TextLength(text.size()), '\0');
    Base64EncodeLine(reinterpret_cast<const unsigned char*>(text.data()), text.size(), encoded.data(), encoded.size());
    return std::string(piece.substr(0, begin)) + "=?" + charset + "?B?" + encoded + "?=" +
           std::string(piece.substr(end));
}

// The bytes of one "=?charset?B?text?=" word, or false when `word` is none.
bool DecodeWord(std::string_view word, std::string& bytes) {
    std::size_t charsetEnd = word.find('?', 2);
    if (charsetEnd == std::string_view::npos || charsetEnd + 3 > word.size() - 2) return false;
    if (AsciiLower(word[charsetEnd + 1]) != 'b' || word[charsetEnd + 2] != '?') return false;
    std::string_view text = word.substr(charsetEnd + 3, word.size() - 2 - (charsetEnd + 3));
    bytes.assign(text.size(), '\0');
    bytes.resize(Base64Decode(text.data(), text.size(), reinterpret_cast<unsigned char*>(bytes.data()), bytes.size()));
    return true;
}

}  // namespace

std::string EncodedWordFieldCoder::Encode() const {
    if (charset_.empty()) return value_;
    std::string out;
    std::size_t start = 0;
    for (std::size_t i = 0; i <= value_.size(); ++i) {
        if (i < value_.size() && !IsFoldingCharacter(value_[i])) continue;
        out += EncodePiece(std::string_view(value_).substr(start, i - start), charset_);
        if (i < value_.size()) out += value_[i];
        start = i + 1;
    }
    return out;
}

std::string EncodedWordFieldCoder::Decode() const {
    std::string out;
    std::size_t pos = 0;
    while (pos < value_.size()) {
        std::size_t open = value_.find("=?", pos);
        std::size_t charsetEnd = open == std::string::npos ? open : value_.find('?', open + 2);
        std::size_t close = charsetEnd == std::string::npos ? charsetEnd : value_.find("?=", charsetEnd + 3);
        std::string bytes;
        if (close == std::string::npos ||
            !DecodeWord(std::string_view(value_).substr(open, close + 2 - open), bytes)) {
            out.append(value_, pos, std::string::npos);
            break;
        }
        out.append(value_, pos, open - pos).append(bytes);
        pos = close + 2;
    }
    return out;
}

}  // namespace ziromail
