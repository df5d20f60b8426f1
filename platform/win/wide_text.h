#pragma once
#include <string>
#include <string_view>

// Windows only: text between the products' GBK bytes (or UTF-8) and the wide
// API, so that Chinese texts read right whatever the system's locale.
namespace platform {

std::wstring GbkToWide(std::string_view gbk);
std::string WideToGbk(std::wstring_view wide);
std::wstring Utf8ToWide(std::string_view utf8);
std::string WideToUtf8(std::wstring_view wide);

}  // namespace platform
