#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

struct CallPeer {
    std::string address;  // dotted IPv4
    uint16_t port = 0;
};

struct CallOptions {
    uint16_t port = 0;
    std::vector<CallPeer> peers;
    std::string micFile;      // empty: the sound card's microphone
    std::string speakerFile;  // empty: the sound card's speaker
    double seconds = 10;
    std::string pcapFile;
    bool stats = false;
};

// Parses the command line; on error returns nothing and sets `error`.
std::optional<CallOptions> ParseCallOptions(const std::vector<std::string>& args, std::string& error);

extern const char* const kCallUsage;
