// Any text as a manifest entry's description, and any bytes as the UTF-8 it
// decodes to: Base64Decode, Utf8ToAnsi and the line breaks of the display.
#include <cstdint>
#include <string>

#include "tests/update/fuzz/fuzz_checks.h"
#include "update/code_convert.h"

using update::fuzz::Check;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const auto bytes = update::Base64Decode(text);
    Check(!bytes || (size % 4 == 0 && bytes->size() <= size / 4 * 3 && bytes->find('\0') == std::string::npos));

    const std::string converted = update::CCodeConvert().Utf8ToAnsi(data, size);
    Check(converted.size() <= size);

    const std::string plain = update::DescriptionText(text, false);
    const std::string shown = update::DescriptionText(text, true);
    Check(plain.size() <= size && (bytes || plain.empty()));
    for (size_t i = 0; i < shown.size(); ++i)
        if (shown[i] == '\n') Check(i > 0 && shown[i - 1] == '\r');
    return 0;
}
