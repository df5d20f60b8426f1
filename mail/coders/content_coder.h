#pragma once
// Turns a part's content into message text (and back) for one transfer encoding.
// The caller sizes the output with OutputLength; a coder never writes beyond
// the capacity it is given and never allocates. Encode given no buffer (null)
// writes nothing and returns the exact length it would write.
#include <cstddef>

namespace ziromail {

class ContentCoder {
public:
    ContentCoder(const char* data, std::size_t length, bool encoding)
        : data_(reinterpret_cast<const unsigned char*>(data)), length_(length), encoding_(encoding) {}
    virtual ~ContentCoder() = default;

    // Room needed for the direction the coder was made for.
    virtual std::size_t OutputLength() const = 0;
    virtual std::size_t DecodedLength() const = 0;
    virtual std::size_t Encode(char* out, std::size_t capacity) const = 0;
    virtual std::size_t Decode(char* out, std::size_t capacity) const = 0;

    // Runs the direction the coder was made for.
    std::size_t Run(char* out, std::size_t capacity) const {
        return encoding_ ? Encode(out, capacity) : Decode(out, capacity);
    }

protected:
    bool Encoding() const { return encoding_; }

    const unsigned char* data_;
    std::size_t length_;

private:
    bool encoding_;
};

// "7bit", "8bit", "binary" and unknown encodings: the bytes as they are.
class PlainCoder : public ContentCoder {
public:
    using ContentCoder::ContentCoder;
    std::size_t OutputLength() const override { return length_; }
    std::size_t DecodedLength() const override { return length_; }
    std::size_t Encode(char* out, std::size_t capacity) const override;
    std::size_t Decode(char* out, std::size_t capacity) const override { return Encode(out, capacity); }
};

class Base64Coder : public ContentCoder {
public:
    using ContentCoder::ContentCoder;
    std::size_t OutputLength() const override;
    std::size_t DecodedLength() const override { return length_ / 4 * 3 + 3; }
    std::size_t Encode(char* out, std::size_t capacity) const override;
    std::size_t Decode(char* out, std::size_t capacity) const override;
};

class QuotedPrintableCoder : public ContentCoder {
public:
    using ContentCoder::ContentCoder;
    std::size_t OutputLength() const override;
    std::size_t DecodedLength() const override { return length_; }
    std::size_t Encode(char* out, std::size_t capacity) const override;
    std::size_t Decode(char* out, std::size_t capacity) const override;
};

}  // namespace ziromail
