#include "mail/coders/base64.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "common/base64.h"

namespace ziromail {

namespace {

constexpr std::size_t kLineCharacters = 76;
constexpr std::size_t kBytesPerLine = kLineCharacters / 4 * 3;

// Encodes a piece of at most one line into `out` (room for Base64TextLength).
std::size_t EncodePiece(const unsigned char* data, std::size_t length, char* out) {
    common::Base64Encode(data, length, out);
    return Base64TextLength(length);
}

// Copies what fits of a piece that was encoded into a scratch buffer.
std::size_t CopyClipped(const char* from, std::size_t length, char* out, std::size_t room) {
    std::size_t n = std::min(length, room);
    std::memcpy(out, from, n);
    return n;
}

}  // namespace

std::size_t Base64TextLength(std::size_t length) { return common::Base64Length(length); }

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
        int digit = common::Base64Value(text[i]);
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
