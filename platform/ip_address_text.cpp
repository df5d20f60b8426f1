#include "platform/ip_address_text.h"

namespace platform {

std::optional<Ipv4Bytes> ParseDottedIpv4(std::string_view text) {
    Ipv4Bytes bytes{};
    std::size_t at = 0;
    for (std::size_t part = 0; part < bytes.size(); ++part) {
        if (part > 0 && (at >= text.size() || text[at++] != '.')) return std::nullopt;
        std::size_t begin = at;
        unsigned value = 0;
        while (at < text.size() && at - begin < 3 && text[at] >= '0' && text[at] <= '9')
            value = value * 10 + static_cast<unsigned>(text[at++] - '0');
        std::size_t digits = at - begin;
        if (digits == 0 || value > 255 || (digits > 1 && text[begin] == '0')) return std::nullopt;
        bytes[part] = static_cast<std::uint8_t>(value);
    }
    if (at != text.size()) return std::nullopt;
    return bytes;
}

}  // namespace platform
