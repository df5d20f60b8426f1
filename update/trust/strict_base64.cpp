#include "update/trust/strict_base64.h"

#include "common/base64.h"

namespace update::trust {

std::optional<std::vector<uint8_t>> DecodeStrictBase64(std::string_view text) {
    if (text.size() % 4 != 0) return std::nullopt;
    std::vector<uint8_t> bytes(text.size() / 4 * 3);
    size_t written = 0;
    for (size_t at = 0; at < text.size(); at += 4) {
        const int n = common::Base64DecodeGroup(text.data() + at, bytes.data() + written);
        const bool last = at + 4 == text.size();
        if (n < 0 || (n < 3 && !last)) return std::nullopt;
        written += size_t(n);
    }
    bytes.resize(written);
    return bytes;
}

}  // namespace update::trust
