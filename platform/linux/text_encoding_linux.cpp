#include <iconv.h>

#include <cerrno>

#include "platform/text_encoding.h"

namespace platform {

namespace {

// iconv over the whole input; an unconvertible or cut sequence costs one input
// byte and yields one "?", so the output always ends.
std::string Convert(const char* to, const char* from, std::string_view text) {
    iconv_t cd = iconv_open(to, from);
    if (cd == iconv_t(-1)) return std::string(text.size(), '?');
    std::string out;
    char buffer[256];
    char* in = const_cast<char*>(text.data());
    size_t inLeft = text.size();
    while (inLeft > 0) {
        char* o = buffer;
        size_t outLeft = sizeof buffer;
        const size_t rc = iconv(cd, &in, &inLeft, &o, &outLeft);
        out.append(buffer, o);
        if (rc == size_t(-1) && errno != E2BIG) {
            out += '?';
            ++in;
            --inLeft;
            iconv(cd, nullptr, nullptr, nullptr, nullptr);
        }
    }
    iconv_close(cd);
    return out;
}

}  // namespace

std::string GbkToUtf8(std::string_view gbk) { return Convert("UTF-8", "GBK", gbk); }

std::string Utf8ToGbk(std::string_view utf8) { return Convert("GBK", "UTF-8", utf8); }

}  // namespace platform
