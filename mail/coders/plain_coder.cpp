#include <algorithm>
#include <cstring>

#include "mail/coders/content_coder.h"

namespace ziromail {

std::size_t PlainCoder::Encode(char* out, std::size_t capacity) const {
    std::size_t n = std::min(length_, capacity);
    if (out && n) std::memcpy(out, data_, n);
    return n;
}

}  // namespace ziromail
