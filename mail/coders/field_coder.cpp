#include "mail/coders/field_coder.h"

#include "mail/coders/encoded_words.h"

namespace ziromail {

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view TrimBlanks(std::string_view text) {
    while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
    return text;
}

std::string_view Unquoted(std::string_view text) {
    return text.size() >= 2 && text.front() == '"' && text.back() == '"' ? text.substr(1, text.size() - 2) : text;
}

}  // namespace

std::string EncodedWordFieldCoder::Encode() const {
    if (charset_.empty() || !HasNonAscii(value_)) return value_;
    FoldedHeaderText out(column_);
    std::string_view value(value_);
    std::size_t start = 0;
    bool quoted = false;
    for (std::size_t i = 0; i <= value.size(); ++i) {
        if (i < value.size() && value[i] == '"') quoted = !quoted;
        if (i < value.size() && (quoted || !IsFoldingCharacter(value[i]))) continue;
        std::string_view piece = value.substr(start, i - start);
        if (HasNonAscii(piece))
            EncodePiece(piece, out);
        else
            out.Append(piece);
        if (i < value.size()) out.Append(value.substr(i, 1));
        start = i + 1;
    }
    return out.Text();
}

std::string EncodedWordFieldCoder::Decode() const { return DecodeEncodedWords(value_); }

void EncodedWordFieldCoder::EncodePiece(std::string_view piece, FoldedHeaderText& out) const {
    out.AppendEncoded(piece, charset_);
}

void AddressFieldCoder::EncodePiece(std::string_view piece, FoldedHeaderText& out) const {
    std::size_t angle = piece.find('<');
    if (angle == std::string_view::npos || !HasNonAscii(piece.substr(0, angle))) {
        out.Append(piece);
        return;
    }
    std::string_view display = TrimBlanks(piece.substr(0, angle));
    out.Append(piece.substr(0, piece.find_first_not_of(" \t")));
    out.AppendEncoded(Unquoted(display), charset_);
    out.Append(" ");
    out.Append(piece.substr(angle));
}

void ParameterFieldCoder::EncodePiece(std::string_view piece, FoldedHeaderText& out) const {
    std::size_t equals = piece.find('=');
    std::string_view value = equals == std::string_view::npos ? piece : TrimBlanks(piece.substr(equals + 1));
    if (equals == std::string_view::npos || !HasNonAscii(value)) {
        out.Append(piece);
        return;
    }
    out.Append(piece.substr(0, equals + 1));
    out.Append("\"");
    out.AppendEncoded(Unquoted(value), charset_);
    out.Append("\"");
}

}  // namespace ziromail
