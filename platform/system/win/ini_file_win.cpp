#include <windows.h>

#include <vector>

#include "platform/system/ini_file.h"

namespace platform {

std::string ReadIniString(const std::string& path, const std::string& section, const std::string& key,
                          const std::string& defaultValue, std::size_t bufferSize) {
    if (bufferSize == 0) return {};
    std::vector<char> buffer(bufferSize, '\0');
    const DWORD n = GetPrivateProfileStringA(section.c_str(), key.c_str(), defaultValue.c_str(), buffer.data(),
                                             DWORD(bufferSize), path.c_str());
    return std::string(buffer.data(), n < bufferSize ? n : bufferSize - 1);
}

}  // namespace platform
