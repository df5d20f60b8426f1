#include "talk/rtp/ipv4_text.h"

#include <cstring>

namespace rtp {

uint32_t Ipv4FromBytes(uint8_t a, uint8_t b, uint8_t c, uint8_t d) {
    const uint8_t bytes[4] = {a, b, c, d};
    uint32_t address = 0;
    std::memcpy(&address, bytes, sizeof address);
    return address;
}

std::optional<uint32_t> ParseIpv4(const char* text) {
    if (!text) return std::nullopt;
    uint8_t bytes[4] = {};
    for (int part = 0; part < 4; ++part) {
        if (part > 0 && *text++ != '.') return std::nullopt;
        int value = 0;
        int digits = 0;
        for (; *text >= '0' && *text <= '9'; ++text) {
            value = value * 10 + (*text - '0');
            if (++digits > 3 || value > 255) return std::nullopt;
        }
        if (digits == 0) return std::nullopt;
        bytes[part] = uint8_t(value);
    }
    if (*text != '\0') return std::nullopt;
    return Ipv4FromBytes(bytes[0], bytes[1], bytes[2], bytes[3]);
}

}  // namespace rtp
