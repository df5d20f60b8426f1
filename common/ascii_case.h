#pragma once
// ASCII letters folded; every other byte, GBK and UTF-8 ones included, stays as it is.

namespace common {

constexpr char AsciiLower(char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; }
constexpr char AsciiUpper(char c) { return c >= 'a' && c <= 'z' ? char(c - 'a' + 'A') : c; }

}  // namespace common
