// update-publish: the vendor's side of a signed update, on Linux.
//
//   update-publish keygen PRIVATE_KEY PUBLIC_KEY
//   update-publish package FOLDER ACTIONS ARCHIVE
//   update-publish publish --root DIR --key PRIVATE_KEY --version V --url URL
//                          --description FILE [--days N | --expires TIME] [--group NAME]
//
// Exit codes: 0 written, 1 refused (nothing written), 2 bad usage.
#include <sys/stat.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "common/tool_info.h"
#include "update/tools/publish/package_command.h"
#include "update/tools/publish/publish_command.h"
#include "update/tools/publish/publish_error.h"
#include "update/tools/publish/tool_files.h"
#include "update/tools/publish/vendor_key.h"

namespace {

using namespace publish;

const char* const kUsage =
    "usage: update-publish keygen PRIVATE_KEY PUBLIC_KEY\n"
    "       update-publish package FOLDER ACTIONS ARCHIVE\n"
    "       update-publish publish --root DIR --key PRIVATE_KEY --version V --url URL\n"
    "                              --description FILE [--days N | --expires TIME] [--group NAME]\n"
    "       update-publish --version | --help\n"
    "keygen   makes a P-256 key pair: PRIVATE_KEY (PEM, readable by you alone) signs\n"
    "         the manifests; PUBLIC_KEY ships as update-key.pem beside the updater.\n"
    "package  packs every file below FOLDER with an update-info.xml made from ACTIONS\n"
    "         (one 'copy|replace|remove|execute NAME' a line) into the ZIP ARCHIVE.\n"
    "publish  adds the entry V (or replaces the one of that version) in DIR/update.xml,\n"
    "         its package at DIR/URL and its description from the UTF-8 FILE; writes\n"
    "         every entry's size and SHA-256, raises the serial, sets the expiry (N\n"
    "         days, 30 unless given, or TIME as YYYY-MM-DDThh:mm:ssZ) and signs it into\n"
    "         DIR/update.xml.sig. GROUP names the group of a new manifest (ziro).\n"
    "Nothing is written when anything is refused.\n"
    "Exit codes: 0 written, 1 refused, 2 bad usage.\n";

enum class ExitCode { Written = 0, Refused = 1, BadUsage = 2 };

struct UsageError {
    std::string message;
};

int64_t Now() {
    return std::chrono::duration_cast<std::chrono::seconds>(std::chrono::system_clock::now().time_since_epoch())
        .count();
}

std::string Keygen(const std::vector<std::string>& args) {
    if (args.size() != 2) throw UsageError{"keygen takes PRIVATE_KEY and PUBLIC_KEY"};
    namespace fs = std::filesystem;
    const auto place = [](const std::string& path) { return fs::weakly_canonical(fs::absolute(path)); };
    if (place(args[0]) == place(args[1]))
        throw UsageError{"keygen writes two files: PRIVATE_KEY and PUBLIC_KEY must differ"};
    const KeyPair pair = GenerateKeyPair();
    // The private key is never readable by others, not even while it is written.
    ::umask(077);
    PendingFiles outputs;
    outputs.Write(args[0], pair.privatePem);
    outputs.Write(args[1], pair.publicPem);
    outputs.CommitAll(false);
    fs::permissions(args[1], fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read |
                                 fs::perms::others_read);
    return args[0] + ": the private key, for signing; " + args[1] + ": the public key, to ship as update-key.pem";
}

std::string Package(const std::vector<std::string>& args) {
    if (args.size() != 3) throw UsageError{"package takes FOLDER, ACTIONS and ARCHIVE"};
    return MakePackage({args[0], args[1], args[2]});
}

std::string PublishEntry(const std::vector<std::string>& args) {
    std::map<std::string, std::string> options;
    for (std::size_t i = 0; i < args.size(); i += 2) {
        static const std::string kKnown[] = {"--root", "--key",  "--version", "--url",
                                             "--description", "--days", "--expires", "--group"};
        if (std::find(std::begin(kKnown), std::end(kKnown), args[i]) == std::end(kKnown))
            throw UsageError{"publish has no option " + args[i]};
        if (i + 1 == args.size()) throw UsageError{args[i] + " needs a value"};
        options[args[i]] = args[i + 1];
    }
    for (const char* required : {"--root", "--key", "--version", "--url", "--description"})
        if (options.count(required) == 0) throw UsageError{std::string("publish needs ") + required};
    if (options.count("--days") && options.count("--expires")) throw UsageError{"--days or --expires, not both"};
    PublishRequest request;
    request.root = options["--root"];
    request.key = options["--key"];
    request.version = options["--version"];
    request.url = options["--url"];
    request.description = options["--description"];
    if (options.count("--expires")) request.expires = options["--expires"];
    if (options.count("--days")) {
        char* end = nullptr;
        const long days = std::strtol(options["--days"].c_str(), &end, 10);
        if (*end != '\0' || end == options["--days"].c_str()) throw UsageError{"--days takes a number"};
        request.days = int(std::clamp(days, -1L, 100000L));
    }
    if (options.count("--group")) request.group = options["--group"];
    request.now = Now();
    return Publish(request);
}

ExitCode Run(int argc, char** argv) {
    try {
        if (argc < 2) throw UsageError{"a command is needed"};
        const std::string command = argv[1];
        const std::vector<std::string> args(argv + 2, argv + argc);
        std::string summary;
        if (command == "keygen") summary = Keygen(args);
        else if (command == "package") summary = Package(args);
        else if (command == "publish") summary = PublishEntry(args);
        else throw UsageError{"no command " + command};
        std::printf("%s\n", summary.c_str());
        return ExitCode::Written;
    } catch (const UsageError& error) {
        std::fprintf(stderr, "update-publish: %s\n%s", error.message.c_str(), kUsage);
        return ExitCode::BadUsage;
    } catch (const PublishError& error) {
        std::fprintf(stderr, "update-publish: %s; nothing written\n", error.what());
        return ExitCode::Refused;
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (PrintToolInfo(argc, argv, "update-publish", kUsage)) return 0;
    return int(Run(argc, argv));
}
