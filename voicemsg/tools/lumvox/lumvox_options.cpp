#include "lumvox_options.h"

#include <cstdlib>

namespace voicemsg {

const char* const kLumvoxUsage =
    "usage: lumvox record --seconds N [--mic-device|--mic FILE.pcm] OUT.txt\n"
    "       lumvox play [--speaker-device|--speaker FILE.pcm] IN.txt\n"
    "       lumvox info IN.txt\n"
    "       lumvox --version | --help\n"
    "A recording stops by itself after 30 s, as in the dialog. PCM files are raw\n"
    "signed 16-bit little-endian mono 8000 Hz; without one the sound card is used.\n";

namespace {

bool ParseSeconds(const std::string& text, int& seconds) {
    char* end = nullptr;
    const long value = std::strtol(text.c_str(), &end, 10);
    if (text.empty() || *end != '\0' || value < 1 || value > 3600) return false;
    seconds = int(value);
    return true;
}

std::optional<LumvoxOptions::Command> ParseCommand(const std::string& name) {
    if (name == "record") return LumvoxOptions::Command::Record;
    if (name == "play") return LumvoxOptions::Command::Play;
    if (name == "info") return LumvoxOptions::Command::Info;
    return std::nullopt;
}

}  // namespace

std::optional<LumvoxOptions> ParseLumvoxOptions(const std::vector<std::string>& args, std::string& error) {
    LumvoxOptions options;
    const auto command = args.empty() ? std::nullopt : ParseCommand(args[0]);
    if (!command) {
        error = args.empty() ? "no command" : "unknown command " + args[0];
        return std::nullopt;
    }
    options.command = *command;
    const bool record = *command == LumvoxOptions::Command::Record;
    const bool play = *command == LumvoxOptions::Command::Play;
    std::vector<std::string> paths;
    for (size_t i = 1; i < args.size(); ++i) {
        const std::string& arg = args[i];
        const bool hasValue = i + 1 < args.size();
        if (record && arg == "--mic-device") {
            options.micFile.clear();
        } else if (play && arg == "--speaker-device") {
            options.speakerFile.clear();
        } else if ((record && (arg == "--seconds" || arg == "--mic")) || (play && arg == "--speaker")) {
            if (!hasValue) {
                error = "missing value for " + arg;
                return std::nullopt;
            }
            const std::string& value = args[++i];
            if (arg == "--mic") options.micFile = value;
            if (arg == "--speaker") options.speakerFile = value;
            if (arg == "--seconds" && !ParseSeconds(value, options.seconds)) {
                error = "bad duration " + value + " (want whole seconds from 1)";
                return std::nullopt;
            }
        } else if (arg.size() > 1 && arg[0] == '-') {
            error = "unknown option " + arg + " for " + args[0];
            return std::nullopt;
        } else {
            paths.push_back(arg);
        }
    }
    if (paths.size() != 1) error = paths.empty() ? "a file name is required" : "only one file name is expected";
    else if (record && options.seconds == 0) error = "--seconds is required";
    if (!error.empty()) return std::nullopt;
    options.path = paths[0];
    return options;
}

}  // namespace voicemsg
