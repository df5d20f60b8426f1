#pragma once
// Turns a header field's value into message text. Without a charset every kind
// copies the value byte for byte. With one (the composer gives the fields that
// carry the host's text the host's charset), the kinds that may carry RFC 2047
// encoded words write each piece with non-ASCII bytes as encoded words, folded
// at 76 columns; ASCII values stay byte for byte as they are.
#include <cstddef>
#include <string>
#include <string_view>

namespace ziromail {

class FoldedHeaderText;

// Charset of fields that name none of their own.
inline constexpr std::string_view DefaultCharset = "";

class FieldCoder {
public:
    // `column`: where the value starts on its line, after "Name: ".
    FieldCoder(std::string_view value, std::string_view charset, std::size_t column)
        : value_(value), charset_(charset.empty() ? DefaultCharset : charset), column_(column) {}
    virtual ~FieldCoder() = default;

    std::size_t OutputLength() const { return Encode().size(); }
    std::size_t DecodedLength() const { return Decode().size(); }
    virtual std::string Encode() const { return value_; }
    virtual std::string Decode() const { return value_; }
    // Characters between which a value is split into separately encoded pieces
    // (never inside a quoted string).
    virtual bool IsFoldingCharacter(char) const { return false; }

protected:
    std::string value_;
    std::string charset_;
    std::size_t column_;
};

// Fields whose value may hold encoded words.
class EncodedWordFieldCoder : public FieldCoder {
public:
    using FieldCoder::FieldCoder;
    std::string Encode() const override;
    std::string Decode() const override;

protected:
    // Writes one piece that holds non-ASCII bytes; here the whole piece becomes encoded words.
    virtual void EncodePiece(std::string_view piece, FoldedHeaderText& out) const;
};

// Subject, Comments, Content-Description: the value is one piece of text.
class TextFieldCoder : public EncodedWordFieldCoder {
public:
    using EncodedWordFieldCoder::EncodedWordFieldCoder;
};

// From, To, Cc and their kin: addresses split at "," and ":". The display
// text before an address in angle brackets is encoded (without its quotes);
// a bare address stays as it is.
class AddressFieldCoder : public EncodedWordFieldCoder {
public:
    using EncodedWordFieldCoder::EncodedWordFieldCoder;
    bool IsFoldingCharacter(char c) const override { return c == ',' || c == ':'; }

protected:
    void EncodePiece(std::string_view piece, FoldedHeaderText& out) const override;
};

// Content-Type, Content-Disposition: parameters split at ";". A parameter
// value is encoded inside its double quotes, as most senders write non-ASCII
// file names and common readers decode them.
class ParameterFieldCoder : public EncodedWordFieldCoder {
public:
    using EncodedWordFieldCoder::EncodedWordFieldCoder;
    bool IsFoldingCharacter(char c) const override { return c == ';'; }

protected:
    void EncodePiece(std::string_view piece, FoldedHeaderText& out) const override;
};

}  // namespace ziromail
