#pragma once
// Host-given text that ends up inside a header line.
#include <string>
#include <string_view>

namespace ziromail {

// CR and LF become blanks, so a value can neither start a header line of its
// own nor end the message; every other byte is kept.
std::string OneLine(std::string_view value);

// A recipient list as an address list: the host may separate with ";" too,
// RFC 5322 separates with "," only.
std::string AddressList(std::string_view recipients);

// The part of a path after its last "\" or "/" (the whole path when it has neither).
std::string_view FileNameOfPath(std::string_view path);

}  // namespace ziromail
