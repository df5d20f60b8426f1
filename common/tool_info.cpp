#include "common/tool_info.h"

#include <cstdio>
#include <cstring>

#include "ziro_version.h"

bool PrintToolInfo(int argc, char** argv, const char* name, const char* usage) {
    if (argc < 2) return false;
    if (std::strcmp(argv[1], "--version") == 0) {
        std::printf("%s %s\n", name, ZIRO_VERSION);
        return true;
    }
    if (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0) {
        std::fputs(usage, stdout);
        return true;
    }
    return false;
}
