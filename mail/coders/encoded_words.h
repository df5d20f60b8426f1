#pragma once
// Header text with RFC 2047 encoded words ("=?GBK?B?...?="), folded so that
// no line passes 76 columns where it is up to the words.
#include <cstddef>
#include <string>
#include <string_view>

namespace ziromail {

bool HasNonAscii(std::string_view text);

class FoldedHeaderText {
public:
    // `column`: where the text starts on its line, after "Name: ".
    explicit FoldedHeaderText(std::size_t column) : column_(column) {}

    // Text that needs no encoding, as it is.
    void Append(std::string_view text);
    // `bytes` as base64 encoded words labelled `charset`, as many as the line
    // length asks for, each holding whole characters of the host's code page
    // (GBK: a byte from 0x81 up leads a two-byte character). Words are
    // separated by a folding line break; the first one also moves to a new
    // line when too little of the current one is left.
    void AppendEncoded(std::string_view bytes, std::string_view charset);

    const std::string& Text() const { return text_; }

private:
    void Fold();

    std::string text_;
    std::size_t column_;
};

// The text with every encoded word decoded; blanks and line breaks between
// two encoded words are dropped, as RFC 2047 section 6.2 says.
std::string DecodeEncodedWords(std::string_view text);

}  // namespace ziromail
