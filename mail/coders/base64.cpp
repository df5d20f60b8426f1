#include "mail/coders/base64.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace ziromail {

namespace {

constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
constexpr std::size_t kLineCharacters = 76;
constexpr std::size_t kBytesPerLine = kLineCharacters / 4 * 3;

constexpr std::array<signed char, 256> MakeDecodeTable() {
    std::array<signed char, 256> table{};
    for (auto& entry : table) entry = -1;
    for (int i = 0; i < 64; ++i) table[static_cast<unsigned char>(kAlphabet[i])] = static_cast<signed char>(i);
    return table;
}
constexpr auto kDecodeTable = MakeDecodeTable();

// Encodes whole groups of three into `out`, which has room for them all.
void EncodeGroups(const unsigned char* data, std::size_t groups, char* out) {
    for (std::size_t g = 0; g < groups; ++g, data += 3, out += 4) {
        unsigned value = (data[0] << 16) | (data[1] << 8) | data[2];
        out[0] = kAlphabet[value >> 18];
        out[1] = kAlphabet[(value >> 12) & 63];
        out[2] = kAlphabet[(value >> 6) & 63];
        out[3] = kAlphabet[value & 63];
    }
}

// The final one or two bytes as four characters with padding.
void EncodeTail(const unsigned char* data, std::size_t length, char* out) {
    unsigned value = data[0] << 16;
    if (length == 2) value |= data[1] << 8;
    out[0] = kAlphabet[value >> 18];
    out[1] = kAlphabet[(value >> 12) & 63];
    out[2] = length == 2 ? kAlphabet[(value >> 6) & 63] : '=';
    out[3] = '=';
}

// Encodes a piece of at most one line into `out` (room for Base64TextLength).
std::size_t EncodePiece(const unsigned char* data, std::size_t length, char* out) {
    std::size_t groups = length / 3;
    EncodeGroups(data, groups, out);
    if (length % 3) EncodeTail(data + groups * 3, length % 3, out + groups * 4);
    return Base64TextLength(length);
}

// Copies what fits of a piece that was encoded into a scratch buffer.
std::size_t CopyClipped(const char* from, std::size_t length, char* out, std::size_t room) {
    std::size_t n = std::min(length, room);
    std::memcpy(out, from, n);
    return n;
}

}  // namespace

std::size_t Base64TextLength(std::size_t length) { return (length + 2) / 3 * 4; }

std::size_t Base64LinesLength(std::size_t length) {
    std::size_t lines = (length + kBytesPerLine - 1) / kBytesPerLine;
    return Base64TextLength(length) + 2 * lines;
}

std::size_t Base64EncodeLine(const unsigned char* data, std::size_t length, char* out, std::size_t capacity) {
    std::size_t written = 0;
    std::array<char, kLineCharacters> scratch;
    for (std::size_t done = 0; done < length && written < capacity; done += kBytesPerLine) {
        std::size_t piece = std::min(kBytesPerLine, length - done);
        std::size_t room = capacity - written;
        if (room >= Base64TextLength(piece)) {
            written += EncodePiece(data + done, piece, out + written);
        } else {
            written += CopyClipped(scratch.data(), EncodePiece(data + done, piece, scratch.data()), out + written, room);
        }
    }
    return written;
}

std::size_t Base64EncodeLines(const unsigned char* data, std::size_t length, char* out, std::size_t capacity) {
    std::size_t written = 0;
    std::array<char, kLineCharacters + 2> scratch;
    for (std::size_t done = 0; done < length && written < capacity; done += kBytesPerLine) {
        std::size_t piece = std::min(kBytesPerLine, length - done);
        std::size_t room = capacity - written;
        char* target = room >= Base64TextLength(piece) + 2 ? out + written : scratch.data();
        std::size_t n = EncodePiece(data + done, piece, target);
        target[n++] = '\r';
        target[n++] = '\n';
        written += target == scratch.data() ? CopyClipped(scratch.data(), n, out + written, room) : n;
    }
    return written;
}

std::size_t Base64Decode(const char* text, std::size_t length, unsigned char* out, std::size_t capacity) {
    std::size_t written = 0;
    unsigned value = 0;
    int bits = 0;
    for (std::size_t i = 0; i < length && text[i] != '='; ++i) {
        int digit = kDecodeTable[static_cast<unsigned char>(text[i])];
        if (digit < 0) continue;
        value = (value << 6) | static_cast<unsigned>(digit);
        bits += 6;
        if (bits >= 8) {
            bits -= 8;
            if (written == capacity) break;
            out[written++] = static_cast<unsigned char>(value >> bits);
        }
    }
    return written;
}

}  // namespace ziromail
