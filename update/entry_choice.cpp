#include "update/entry_choice.h"

#include "update/version_number.h"

namespace update {

bool HasNewerVersion(std::vector<UpdateEntry>& entries, const std::string& currentVersion) {
    const VersionNumber current = ParseVersion(currentVersion);
    std::size_t dropped = 0;
    while (dropped < entries.size() && !IsNewer(ParseVersion(entries[dropped].version), current)) ++dropped;
    entries.erase(entries.begin(), entries.begin() + std::ptrdiff_t(dropped));
    return !entries.empty();
}

std::string HighestVersion(const std::vector<UpdateEntry>& entries) {
    VersionNumber highest = kUndottedVersion;
    for (const UpdateEntry& entry : entries) {
        const VersionNumber version = ParseVersion(entry.version);
        if (IsNewer(version, highest)) highest = version;
    }
    return FormatVersion(highest);
}

}  // namespace update
