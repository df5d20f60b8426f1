#pragma once
#include <string>
#include <string_view>

// Conversions between the GBK code page (936) that every 8-bit text of the
// products is in and UTF-8. A sequence that does not convert is replaced by a
// substitute character: the conversion itself never fails.
namespace platform {

std::string GbkToUtf8(std::string_view gbk);
std::string Utf8ToGbk(std::string_view utf8);

}  // namespace platform
