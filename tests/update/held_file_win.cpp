#include <windows.h>

#include "platform/win/wide_text.h"
#include "tests/update/held_file.h"

std::shared_ptr<void> HoldFile(const std::string& path) {
    const HANDLE file = CreateFileW(platform::GbkToWide(path).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return nullptr;
    return std::shared_ptr<void>(file, CloseHandle);
}
