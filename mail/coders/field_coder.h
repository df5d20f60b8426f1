#pragma once
// Turns a header field's value into message text. Without a charset (the only
// case in this library, see DefaultCharset) every kind copies the value byte
// for byte, so GBK text goes out unchanged. With a charset, the kinds that may
// carry RFC 2047 encoded words write each non-ASCII piece as one.
#include <cstddef>
#include <string>
#include <string_view>

namespace ziromail {

// Charset of fields that name none of their own.
inline constexpr std::string_view DefaultCharset = "";

class FieldCoder {
public:
    FieldCoder(std::string_view value, std::string_view charset)
        : value_(value), charset_(charset.empty() ? DefaultCharset : charset) {}
    virtual ~FieldCoder() = default;

    std::size_t OutputLength() const { return Encode().size(); }
    std::size_t DecodedLength() const { return Decode().size(); }
    virtual std::string Encode() const { return value_; }
    virtual std::string Decode() const { return value_; }
    // Characters between which a value is split into separately encoded pieces.
    virtual bool IsFoldingCharacter(char) const { return false; }

protected:
    std::string value_;
    std::string charset_;
};

// Fields whose value may hold encoded words.
class EncodedWordFieldCoder : public FieldCoder {
public:
    using FieldCoder::FieldCoder;
    std::string Encode() const override;
    std::string Decode() const override;
};

// Subject, Comments, Content-Description: the value is one piece.
class TextFieldCoder : public EncodedWordFieldCoder {
public:
    using EncodedWordFieldCoder::EncodedWordFieldCoder;
};

// From, To, Cc and their kin: addresses split at "," and ":".
class AddressFieldCoder : public EncodedWordFieldCoder {
public:
    using EncodedWordFieldCoder::EncodedWordFieldCoder;
    bool IsFoldingCharacter(char c) const override { return c == ',' || c == ':'; }
};

// Content-Type, Content-Disposition: parameters split at ";".
class ParameterFieldCoder : public EncodedWordFieldCoder {
public:
    using EncodedWordFieldCoder::EncodedWordFieldCoder;
    bool IsFoldingCharacter(char c) const override { return c == ';'; }
};

}  // namespace ziromail
