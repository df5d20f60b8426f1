// Any bytes as the client's settings file: the server name read from it is
// what the file says somewhere (or empty), and at most 127 bytes.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <string>

#include "platform/ini_file.h"
#include "tests/update/fuzz/fuzz_checks.h"

using update::fuzz::Check;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::string path = "/tmp/update_ini_fuzz_" + std::to_string(getpid()) + ".ini";
    FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) return 0;
    std::fwrite(data, 1, size, file);
    std::fclose(file);
    const std::string text(reinterpret_cast<const char*>(data), size);
    const std::string server = platform::ReadIniString(path, "IMSET", "IMSERVER", "", 128);
    Check(server.size() <= 127);
    Check(server.empty() || text.find(server) != std::string::npos);
    return 0;
}
