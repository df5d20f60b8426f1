// Any text as the server's manifest, read as the updater reads it: the entries
// through libxml2, the newer ones kept, the highest version, each entry's
// description for display and its archive's local name; and, as if it were
// signed, its serial, expiry and every entry's size and digest.
#include <cstdint>
#include <string>

#include "tests/update/fuzz/fuzz_checks.h"
#include "update/code_convert.h"
#include "update/entry_choice.h"
#include "update/signed_manifest.h"
#include "update/update_paths.h"
#include "update/version_number.h"

using update::fuzz::Check;

namespace {

// No separator or drive colon among the name's characters, read as the
// system reads GBK: a lead byte and a trail byte are one character, and the
// trail byte may be 0x5C without being a "\\".
bool IsOneFileName(const std::string& name) {
    for (std::size_t i = 0; i < name.size(); ++i) {
        const auto c = static_cast<unsigned char>(name[i]);
        const auto next = i + 1 < name.size() ? static_cast<unsigned char>(name[i + 1]) : 0;
        if (c >= 0x81 && c <= 0xFE && next >= 0x40 && next <= 0xFE && next != 0x7F)
            ++i;
        else if (c == '/' || c == '\\' || c == ':')
            return false;
    }
    return true;
}

// Accepted only whole: every entry with its digest, the serial no lower than
// the highest accepted, and the same entries as an updater without a key reads.
void CheckSigned(const std::string& text) {
    const std::optional<platform::XmlNode> document = platform::ParseXmlDocument(text);
    if (!document) return;
    constexpr uint64_t kHighest = 7;
    constexpr int64_t kNow = 1700000000;
    const update::SignedManifestReading reading = update::ReadSignedManifestTree(*document, kHighest, kNow);
    if (reading.result != update::SignedManifestResult::Accepted) {
        Check(reading.manifest.entries.empty());
        return;
    }
    Check(reading.serial >= kHighest && !reading.refusal.Refused());
    update::Manifest unsigned_;
    Check(update::ReadManifestTree(*document, unsigned_) &&
          unsigned_.entries.size() == reading.manifest.entries.size());
    for (const update::UpdateEntry& entry : reading.manifest.entries) Check(entry.digest.has_value());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    CheckSigned(text);
    const std::string current = "3.0.0.5";
    update::Manifest manifest;
    if (!update::ParseManifest(text, manifest) || !update::HasNewerVersion(manifest.entries, current)) return 0;
    Check(update::IsNewer(update::ParseVersion(manifest.entries.front().version), update::ParseVersion(current)));
    const std::string highest = update::HighestVersion(manifest.entries);
    Check(update::FormatVersion(update::ParseVersion(highest)) == highest);
    for (const update::UpdateEntry& entry : manifest.entries) {
        Check(!update::IsNewer(update::ParseVersion(entry.version), update::ParseVersion(highest)));
        const std::string shown = update::DescriptionText(entry.description, true);
        Check(shown.size() <= 2 * entry.description.size());
        const std::string archive = update::ArchiveNameOf(entry.url);
        Check(IsOneFileName(archive) && archive != "." && archive != "..");
    }
    return 0;
}
