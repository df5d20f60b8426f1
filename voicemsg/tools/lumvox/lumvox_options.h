#pragma once
#include <optional>
#include <string>
#include <vector>

namespace voicemsg {

struct LumvoxOptions {
    enum class Command { Record, Play, Info };
    Command command = Command::Info;
    int seconds = 0;          // record: how long, at most the dialog's 30
    std::string micFile;      // empty: the sound card's microphone
    std::string speakerFile;  // empty: the sound card's speaker
    std::string path;         // the pack text written or read
};

// Parses the command line; on error returns nothing and sets `error`.
std::optional<LumvoxOptions> ParseLumvoxOptions(const std::vector<std::string>& args, std::string& error);

extern const char* const kLumvoxUsage;

}  // namespace voicemsg
