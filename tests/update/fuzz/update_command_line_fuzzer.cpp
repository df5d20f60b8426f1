// Any text as the updater's command line, and any text as a version: the
// version taken from the line is trimmed and not empty, and version texts read
// and written back give the same numbers.
#include <cstdint>
#include <string>

#include "tests/update/fuzz/fuzz_checks.h"
#include "update/command_line.h"
#include "update/version_number.h"

using update::fuzz::Check;

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f'; }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    std::string version;
    const update::CommandLineResult result = update::ParseCommandLine(text, version);
    Check((result == update::CommandLineResult::NoUpdaterPath) == (text.find("exe\"") == std::string::npos));
    if (result == update::CommandLineResult::Version) {
        Check(!version.empty() && !IsBlank(version.front()) && !IsBlank(version.back()));
        Check(text.find(version) != std::string::npos);
    }

    const update::VersionNumber parsed = update::ParseVersion(text);
    Check(update::ParseVersion(update::FormatVersion(parsed)) == parsed);
    const update::VersionNumber reference{{3, 0, 0, 5}};
    Check(!(update::IsNewer(parsed, reference) && update::IsNewer(reference, parsed)));
    Check(update::IsNewer(parsed, reference) || update::IsNewer(reference, parsed) || parsed == reference);
    return 0;
}
