#include <algorithm>
#include <cstring>

#include "mail/coders/content_coder.h"

namespace ziromail {

namespace {

constexpr std::size_t kLineLimit = 76;
constexpr std::size_t kNone = static_cast<std::size_t>(-1);
constexpr char kHexDigits[] = "0123456789ABCDEF";

// Output that may be counted only (no buffer) and may grow in the middle,
// clipped at its capacity.
class QpOutput {
public:
    QpOutput(char* out, std::size_t capacity) : out_(out), capacity_(out ? capacity : 0) {}

    void Append(const char* text, std::size_t n) { Insert(length_, text, n); }

    void Insert(std::size_t at, const char* text, std::size_t n) {
        if (out_ && at < capacity_) {
            std::size_t kept = std::min(length_, capacity_);
            if (at + n < capacity_ && kept > at) std::memmove(out_ + at + n, out_ + at, std::min(kept - at, capacity_ - at - n));
            std::memcpy(out_ + at, text, std::min(n, capacity_ - at));
        }
        length_ += n;
    }

    std::size_t Length() const { return length_; }
    std::size_t Written() const { return out_ ? std::min(length_, capacity_) : length_; }

private:
    char* out_;
    std::size_t capacity_;
    std::size_t length_ = 0;
};

bool IsBlank(unsigned char c) { return c == ' ' || c == '\t'; }

class QpEncoder {
public:
    QpEncoder(const unsigned char* data, std::size_t length, QpOutput& output)
        : data_(data), length_(length), output_(output) {}

    void Run() {
        for (std::size_t i = 0; i < length_; ++i) Put(i);
    }

private:
    void Put(std::size_t i) {
        unsigned char c = data_[i];
        if (c == '\r' || c == '\n') {
            output_.Append(reinterpret_cast<const char*>(&c), 1);
            StartLine(output_.Length());
            return;
        }
        bool escaped = NeedsEscape(i);
        MakeRoom(escaped ? 3 : 1);
        if (escaped) {
            const char escape[3] = {'=', kHexDigits[c >> 4], kHexDigits[c & 15]};
            output_.Append(escape, 3);
            return;
        }
        bool atLineStart = output_.Length() == lineStart_;
        output_.Append(reinterpret_cast<const char*>(&c), 1);
        if (IsBlank(c) && !atLineStart) lastBlankEnd_ = output_.Length();
    }

    bool NeedsEscape(std::size_t i) const {
        unsigned char c = data_[i];
        if (IsBlank(c)) return i + 1 == length_ || data_[i + 1] == '\r';
        if (c == '.') return IsLoneDot(i);
        return c < 33 || c > 126 || c == '=';
    }

    // A dot alone on its line would end the message on the wire.
    bool IsLoneDot(std::size_t i) const {
        return i >= 2 && i + 2 < length_ && data_[i - 2] == '\r' && data_[i - 1] == '\n' && data_[i + 1] == '\r' &&
               data_[i + 2] == '\n';
    }

    // Soft line breaks until `width` more characters keep the line below the limit.
    void MakeRoom(std::size_t width) {
        static const char kSoftBreak[3] = {'=', '\r', '\n'};
        while (output_.Length() - lineStart_ + width >= kLineLimit) {
            if (lastBlankEnd_ != kNone) {
                output_.Insert(lastBlankEnd_, kSoftBreak, 3);
                StartLine(lastBlankEnd_ + 3);
            } else {
                output_.Append(kSoftBreak, 3);
                StartLine(output_.Length());
            }
        }
    }

    void StartLine(std::size_t at) {
        lineStart_ = at;
        lastBlankEnd_ = kNone;
    }

    const unsigned char* data_;
    std::size_t length_;
    QpOutput& output_;
    std::size_t lineStart_ = 0;
    std::size_t lastBlankEnd_ = kNone;
};

int HexValue(unsigned char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

}  // namespace

std::size_t QuotedPrintableCoder::OutputLength() const {
    if (!Encoding()) return DecodedLength();
    QpOutput counter(nullptr, 0);
    QpEncoder(data_, length_, counter).Run();
    return counter.Length();
}

std::size_t QuotedPrintableCoder::Encode(char* out, std::size_t capacity) const {
    QpOutput output(out, capacity);
    QpEncoder(data_, length_, output).Run();
    return output.Written();
}

std::size_t QuotedPrintableCoder::Decode(char* out, std::size_t capacity) const {
    std::size_t written = 0;
    for (std::size_t i = 0; i < length_ && written < capacity; ++i) {
        unsigned char c = data_[i];
        if (c == '=' && i + 1 < length_ && (data_[i + 1] == '\r' || data_[i + 1] == '\n')) {
            i += (data_[i + 1] == '\r' && i + 2 < length_ && data_[i + 2] == '\n') ? 2 : 1;
            continue;
        }
        if (c == '=' && i + 2 < length_ && HexValue(data_[i + 1]) >= 0 && HexValue(data_[i + 2]) >= 0) {
            c = static_cast<unsigned char>(HexValue(data_[i + 1]) * 16 + HexValue(data_[i + 2]));
            i += 2;
        }
        out[written++] = static_cast<char>(c);
    }
    return written;
}

}  // namespace ziromail
