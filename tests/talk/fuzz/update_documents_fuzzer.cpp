// Throws arbitrary text at everything the updater reads from outside: the
// manifest and install script through libxml2, the command line, the settings
// file, version texts, descriptions and file-action names.
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <string>

#include "platform/ini_file.h"
#include "platform/xml_tree.h"
#include "update/code_convert.h"
#include "update/command_line.h"
#include "update/http_update.h"
#include "update/update_paths.h"
#include "update/version_number.h"

namespace {

void Check(bool condition) {
    if (!condition) std::abort();
}

void CheckName(const std::string& name) {
    const auto normalised = update::NormalisedActionName(name, '/');
    if (!normalised) return;
    Check(!normalised->empty() && (*normalised)[0] == '/');
    Check(normalised->find("/../") == std::string::npos && normalised->find(':') == std::string::npos);
}

void CheckIni(const std::string& text) {
    static const std::string path = "/tmp/update_fuzz_" + std::to_string(getpid()) + ".ini";
    FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) return;
    std::fwrite(text.data(), 1, text.size(), file);
    std::fclose(file);
    Check(platform::ReadIniString(path, "IMSET", "IMSERVER", "", 128).size() <= 127);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    update::UpdateServices services;
    update::UpdateFlags flags;
    update::CHttpUpDate updater(services, flags);
    updater.currentVersion = text.substr(0, 40);
    if (updater.ParseManifest(text) && updater.HasNewerVersion()) {
        const std::string highest = updater.HighestVersion();
        Check(update::FormatVersion(update::ParseVersion(highest)) == highest);
        for (const update::UpdateEntry& entry : updater.entries) {
            update::DescriptionText(entry.description, true);
            update::ArchiveNameOf(entry.url);
        }
    }
    if (const auto document = platform::ParseXmlDocument(text)) {
        std::vector<update::FileAction> actions;
        update::ReadScriptTree(*document, actions);
        for (const update::FileAction& action : actions) CheckName(action.name);
    }
    std::string version;
    update::ParseCommandLine(text, version);
    const update::VersionNumber parsed = update::ParseVersion(text);
    Check(update::ParseVersion(update::FormatVersion(parsed)) == parsed);
    const std::string shown = update::DescriptionText(text, false);
    Check(shown.size() <= size);
    CheckName(text);
    CheckIni(text);
    return 0;
}
