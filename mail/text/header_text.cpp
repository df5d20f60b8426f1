#include "mail/text/header_text.h"

#include <algorithm>

namespace ziromail {

std::string OneLine(std::string_view value) {
    std::string line(value);
    std::replace_if(line.begin(), line.end(), [](char c) { return c == '\r' || c == '\n'; }, ' ');
    return line;
}

std::string AddressList(std::string_view recipients) {
    std::string list(recipients);
    std::replace(list.begin(), list.end(), ';', ',');
    return list;
}

std::string_view FileNameOfPath(std::string_view path) {
    std::size_t separator = path.find_last_of("\\/");
    return separator == std::string_view::npos ? path : path.substr(separator + 1);
}

}  // namespace ziromail
