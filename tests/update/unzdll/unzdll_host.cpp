// Loads the unzip library by name and runs one command the way the updater
// does: the current directory set to the target folder for the call, every
// field of the record filled as the updater fills it. Prints each callback as
// "message CODE ENTRY/COUNT TEXT" (TEXT in GBK) and finally "result N".
//
//   unzdll-host LIBRARY ARCHIVE FOLDER [--level N] [--flat] [--keep] [PATTERN...]
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/shared_library.h"
#include "update/unzdll/unzdll.h"

namespace {

int UNZDLL_CALL PrintMessage(UnzipCallbackInfo* info) {
    const bool consistent = info->size == sizeof(UnzipCallbackInfo) && info->messageLength < UNZDLL_MESSAGE_SIZE &&
                            std::strlen(info->message) == info->messageLength;
    std::printf("%s %d %u/%u %s\n", consistent ? "message" : "bad-record", info->errorCode, info->entryNumber,
                info->entryCount, info->message);
    std::fflush(stdout);  // a crash later still shows how far the run got
    return 0;
}

struct Arguments {
    std::string library, archive, folder;
    uint32_t level = 7;
    bool flat = false, keep = false;
    std::vector<std::string> specs;
};

bool Parse(int argc, char** argv, Arguments& args) {
    if (argc < 4) return false;
    args.library = argv[1];
    args.archive = argv[2];
    args.folder = argv[3];
    for (int i = 4; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--level" && i + 1 < argc) args.level = uint32_t(std::atoi(argv[++i]));
        else if (arg == "--flat") args.flat = true;
        else if (arg == "--keep") args.keep = true;
        else args.specs.push_back(arg);
    }
    if (args.specs.empty()) args.specs.push_back("*.*");
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    Arguments args;
    if (!Parse(argc, argv, args)) {
        std::fprintf(stderr, "usage: unzdll-host LIBRARY ARCHIVE FOLDER [--level N] [--flat] [--keep] [PATTERN...]\n");
        return 2;
    }
    void* library = platform::LoadLibraryByName(args.library);
    if (!library) {
        std::fprintf(stderr, "cannot load %s\n", args.library.c_str());
        return 2;
    }
    const auto getVersion = reinterpret_cast<GetUnzDllVersionFn>(platform::LibrarySymbol(library, "GetUnzDllVersion"));
    const auto exec = reinterpret_cast<UnzDllExecFn>(platform::LibrarySymbol(library, "UnzDllExec"));
    if (!getVersion || !exec) {
        std::fprintf(stderr, "missing export\n");
        return 2;
    }

    auto* command = static_cast<UnzipCommand*>(std::calloc(1, sizeof(UnzipCommand)));
    command->version = getVersion();
    command->callback = PrintMessage;
    command->recreateFolders = args.flat ? 0 : 1;
    command->overwriteFiles = args.keep ? 0 : 1;
    command->fileSpecCount = int32_t(args.specs.size());
    command->archivePath = args.archive.c_str();
    command->reportLevel = args.level;
    std::vector<std::vector<char>> specs;
    for (const std::string& pattern : args.specs) {
        specs.emplace_back(261, '\0');
        pattern.copy(specs.back().data(), 260);
        command->fileSpecs[specs.size() - 1] = specs.back().data();
    }

    const std::filesystem::path saved = std::filesystem::current_path();
    std::filesystem::current_path(args.folder);
    const int result = exec(command);
    std::filesystem::current_path(saved);
    std::printf("result %d\n", result);
    std::fflush(stdout);
    std::free(command);
    platform::UnloadLibrary(library);
    return 0;
}
