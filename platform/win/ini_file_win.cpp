#include <windows.h>

#include <vector>

#include "platform/ini_file.h"
#include "platform/win/wide_text.h"

namespace platform {

std::string ReadIniString(const std::string& path, const std::string& section, const std::string& key,
                          const std::string& defaultValue, std::size_t bufferSize) {
    if (bufferSize == 0) return {};
    // The wide call, so that a GBK path opens whatever the system's code page;
    // the value comes back as GBK, cut to the byte limit.
    std::vector<wchar_t> buffer(bufferSize, L'\0');
    const DWORD n = GetPrivateProfileStringW(GbkToWide(section).c_str(), GbkToWide(key).c_str(),
                                             GbkToWide(defaultValue).c_str(), buffer.data(), DWORD(bufferSize),
                                             GbkToWide(path).c_str());
    std::string value = WideToGbk(std::wstring_view(buffer.data(), n < bufferSize ? n : bufferSize - 1));
    if (value.size() > bufferSize - 1) value.resize(bufferSize - 1);
    return value;
}

}  // namespace platform
