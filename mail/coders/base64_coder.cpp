#include <algorithm>

#include "mail/coders/base64.h"
#include "mail/coders/content_coder.h"

namespace ziromail {

// The sizing bound callers have always used: a little above the exact length.
std::size_t Base64Coder::OutputLength() const {
    if (!Encoding()) return DecodedLength();
    std::size_t text = Base64TextLength(length_);
    return text + 2 * (text / 76) + 2;
}

std::size_t Base64Coder::Encode(char* out, std::size_t capacity) const {
    if (!out) return std::min(Base64LinesLength(length_), capacity);
    return Base64EncodeLines(data_, length_, out, capacity);
}

std::size_t Base64Coder::Decode(char* out, std::size_t capacity) const {
    return Base64Decode(reinterpret_cast<const char*>(data_), length_, reinterpret_cast<unsigned char*>(out),
                        capacity);
}

}  // namespace ziromail
