// Any text as the server's manifest, read as the updater reads it: the entries
// through libxml2, the newer ones kept, the highest version, each entry's
// description for display and its archive's local name.
#include <cstdint>
#include <string>

#include "tests/update/fuzz/fuzz_checks.h"
#include "update/code_convert.h"
#include "update/http_update.h"

using update::fuzz::Check;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    update::UpdateServices services;
    update::UpdateFlags flags;
    update::CHttpUpDate updater(services, flags);
    updater.currentVersion = "3.0.0.5";
    if (!updater.ParseManifest(text) || !updater.HasNewerVersion()) return 0;
    Check(update::IsNewer(update::ParseVersion(updater.entries.front().version),
                          update::ParseVersion(updater.currentVersion)));
    const std::string highest = updater.HighestVersion();
    Check(update::FormatVersion(update::ParseVersion(highest)) == highest);
    for (const update::UpdateEntry& entry : updater.entries) {
        Check(!update::IsNewer(update::ParseVersion(entry.version), update::ParseVersion(highest)));
        const std::string shown = update::DescriptionText(entry.description, true);
        Check(shown.size() <= 2 * entry.description.size());
        const std::string archive = update::ArchiveNameOf(entry.url);
        Check(archive.find('/') == std::string::npos && archive.find('\\') == std::string::npos &&
              archive.find(':') == std::string::npos && archive != "." && archive != "..");
    }
    return 0;
}
