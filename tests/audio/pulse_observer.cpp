#include "tests/audio/pulse_observer.h"

#include <cstdio>
#include <cstdlib>
#include <regex>

namespace {

// pactl's standard output, or nothing when it fails.
std::string PactlOutput(const std::string& args) {
    FILE* pipe = popen(("pactl " + args + " 2>/dev/null").c_str(), "r");
    if (!pipe) return {};
    std::string output;
    char chunk[256];
    while (size_t n = fread(chunk, 1, sizeof chunk, pipe)) output.append(chunk, n);
    return pclose(pipe) == 0 ? output : std::string();
}

}  // namespace

bool Pactl(const std::string& args) { return std::system(("pactl " + args + " >/dev/null 2>&1").c_str()) == 0; }

int PactlPercent(const std::string& args) {
    std::smatch match;
    const std::string output = PactlOutput(args);
    return std::regex_search(output, match, std::regex("(\\d+)%")) ? std::stoi(match[1]) : -1;
}

bool PactlMuted(const std::string& args) { return PactlOutput(args).find("Mute: yes") != std::string::npos; }
