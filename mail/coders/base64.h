#pragma once
// Base64 with the standard alphabet and "=" padding.
#include <cstddef>
#include <string>

namespace ziromail {

// Characters of the encoding of `length` bytes on one line.
std::size_t Base64TextLength(std::size_t length);
// Encodes on one line into `out`; stops at `capacity`. Returns the bytes written.
std::size_t Base64EncodeLine(const unsigned char* data, std::size_t length, char* out, std::size_t capacity);
// Encodes in lines of 76 characters, each ending with CRLF (the last one too).
std::size_t Base64EncodeLines(const unsigned char* data, std::size_t length, char* out, std::size_t capacity);
// Exact length of Base64EncodeLines' output.
std::size_t Base64LinesLength(std::size_t length);
// Decodes, skipping anything outside the alphabet and stopping at "=".
std::size_t Base64Decode(const char* text, std::size_t length, unsigned char* out, std::size_t capacity);

}  // namespace ziromail
