#include "common/base64.h"

#include <array>

namespace common {

namespace {

constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

constexpr std::array<int8_t, 256> MakeDecodeTable() {
    std::array<int8_t, 256> table{};
    for (auto& entry : table) entry = -1;
    for (int i = 0; i < 64; ++i) table[static_cast<unsigned char>(kAlphabet[i])] = static_cast<int8_t>(i);
    return table;
}
constexpr auto kDecodeTable = MakeDecodeTable();

}  // namespace

void Base64Encode(const uint8_t* data, std::size_t length, char* out) {
    const std::size_t whole = length / 3;
    for (std::size_t g = 0; g < whole; ++g, data += 3, out += 4) {
        const unsigned value = unsigned(data[0]) << 16 | unsigned(data[1]) << 8 | data[2];
        out[0] = kAlphabet[value >> 18];
        out[1] = kAlphabet[(value >> 12) & 63];
        out[2] = kAlphabet[(value >> 6) & 63];
        out[3] = kAlphabet[value & 63];
    }
    const std::size_t rest = length % 3;
    if (rest == 0) return;
    unsigned value = unsigned(data[0]) << 16;
    if (rest == 2) value |= unsigned(data[1]) << 8;
    out[0] = kAlphabet[value >> 18];
    out[1] = kAlphabet[(value >> 12) & 63];
    out[2] = rest == 2 ? kAlphabet[(value >> 6) & 63] : '=';
    out[3] = '=';
}

int Base64Value(char c) { return kDecodeTable[static_cast<unsigned char>(c)]; }

int Base64DecodeGroup(const char* group, uint8_t* out) {
    const int v0 = Base64Value(group[0]);
    const int v1 = Base64Value(group[1]);
    const int v2 = Base64Value(group[2]);
    const int v3 = Base64Value(group[3]);
    if (v0 < 0 || v1 < 0) return -1;
    const bool twoPads = group[2] == '=' && group[3] == '=';
    const bool onePad = v2 >= 0 && group[3] == '=';
    if (!twoPads && !onePad && (v2 < 0 || v3 < 0)) return -1;
    const unsigned value = unsigned(v0) << 18 | unsigned(v1) << 12 | unsigned(v2 < 0 ? 0 : v2) << 6 |
                           unsigned(v3 < 0 ? 0 : v3);
    out[0] = uint8_t(value >> 16);
    if (twoPads) return 1;
    out[1] = uint8_t(value >> 8);
    if (onePad) return 2;
    out[2] = uint8_t(value);
    return 3;
}

}  // namespace common
