#include "call_options.h"

#include <cstdlib>

const char* const kCallUsage =
    "usage: tarnel-call --port P --peer IP:PORT [--peer IP:PORT ...]\n"
    "                   [--mic FILE.pcm|--mic-device] [--speaker FILE.pcm|--speaker-device]\n"
    "                   [--seconds N] [--pcap FILE] [--stats]\n"
    "       tarnel-call --version | --help\n"
    "PCM files are raw signed 16-bit little-endian mono 8000 Hz. The sound card's\n"
    "mixer is prepared (volumes, mutes) only when one of its devices is used.\n";

namespace {

bool ParsePort(const std::string& text, uint16_t& port) {
    char* end = nullptr;
    const long value = std::strtol(text.c_str(), &end, 10);
    if (text.empty() || *end != '\0' || value < 1 || value > 65535) return false;
    port = uint16_t(value);
    return true;
}

bool ParseIpv4(const std::string& text) {
    int parts = 0;
    size_t i = 0;
    while (i <= text.size()) {
        size_t j = i;
        while (j < text.size() && text[j] >= '0' && text[j] <= '9') ++j;
        if (j == i || j - i > 3 || std::atoi(text.substr(i, j - i).c_str()) > 255) return false;
        ++parts;
        if (j == text.size()) break;
        if (text[j] != '.') return false;
        i = j + 1;
    }
    return parts == 4;
}

bool ParsePeer(const std::string& text, CallPeer& peer) {
    const size_t colon = text.rfind(':');
    if (colon == std::string::npos) return false;
    peer.address = text.substr(0, colon);
    return ParseIpv4(peer.address) && ParsePort(text.substr(colon + 1), peer.port);
}

bool ParseSeconds(const std::string& text, double& seconds) {
    char* end = nullptr;
    seconds = std::strtod(text.c_str(), &end);
    return !text.empty() && *end == '\0' && seconds > 0 && seconds <= 86400;
}

}  // namespace

std::optional<CallOptions> ParseCallOptions(const std::vector<std::string>& args, std::string& error) {
    CallOptions options;
    bool havePort = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& flag = args[i];
        const bool hasValue = i + 1 < args.size();
        auto value = [&]() -> const std::string& { return args[++i]; };
        if (flag == "--stats") {
            options.stats = true;
        } else if (flag == "--mic-device") {
            options.micFile.clear();
        } else if (flag == "--speaker-device") {
            options.speakerFile.clear();
        } else if (!hasValue) {
            error = flag.rfind("--", 0) == 0 ? "missing value for " + flag : "unexpected argument " + flag;
            return std::nullopt;
        } else if (flag == "--port") {
            if (!ParsePort(value(), options.port) || options.port == 65535) {
                error = "bad port " + args[i];
                return std::nullopt;
            }
            havePort = true;
        } else if (flag == "--peer") {
            CallPeer peer;
            if (!ParsePeer(value(), peer)) {
                error = "bad peer " + args[i] + " (want IP:PORT)";
                return std::nullopt;
            }
            options.peers.push_back(peer);
        } else if (flag == "--mic") {
            options.micFile = value();
        } else if (flag == "--speaker") {
            options.speakerFile = value();
        } else if (flag == "--seconds") {
            if (!ParseSeconds(value(), options.seconds)) {
                error = "bad duration " + args[i];
                return std::nullopt;
            }
        } else if (flag == "--pcap") {
            options.pcapFile = value();
        } else {
            error = "unknown option " + flag;
            return std::nullopt;
        }
    }
    if (!havePort) error = "--port is required";
    else if (options.peers.empty()) error = "at least one --peer is required";
    if (!error.empty()) return std::nullopt;
    return options;
}
