#pragma once
#include <string>

namespace ziromail {

// One header field; `value` is the whole field body, parameters included.
struct HeaderField {
    std::string name;
    std::string value;
    std::string charset;
};

}  // namespace ziromail
