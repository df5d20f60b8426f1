#include "update/tools/publish/publish_command.h"

#include <ctime>
#include <memory>
#include <vector>

#include "common/base64.h"
#include "common/relative_path.h"
#include "platform/broken_down_time.h"
#include "platform/crypto.h"
#include "platform/file_system.h"
#include "update/signed_manifest.h"
#include "update/tools/publish/manifest_document.h"
#include "update/tools/publish/publish_error.h"
#include "update/tools/publish/tool_files.h"
#include "update/tools/publish/vendor_key.h"
#include "update/tools/publish/vendor_text.h"
#include "update/trust/manifest_attributes.h"
#include "update/trust/trusted_keys.h"
#include "update/update_paths.h"
#include "update/version_number.h"

namespace publish {

namespace {

constexpr char kManifestFile[] = "update.xml";
constexpr char kSignatureSuffix[] = ".sig";
constexpr std::size_t kMaxTextBytes = 16 * 1024 * 1024;
constexpr std::size_t kMaxKeyBytes = 64 * 1024;
constexpr std::size_t kHashBlock = 64 * 1024;
constexpr int kMaxDays = 3650;
constexpr int64_t kSecondsPerDay = 86400;
constexpr std::string_view kUrlCharacters =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789-._~+/";

std::string InRoot(const std::string& root, const std::string& name) { return root + "/" + name; }

std::string UtcText(int64_t seconds) {
    std::tm utc{};
    if (!platform::ToUniversalTime(std::time_t(seconds), utc)) throw PublishError("the expiry is out of range");
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", &utc);
    return text;
}

void CheckVersion(const std::string& version) {
    const std::string read = update::FormatVersion(update::ParseVersion(version));
    if (read != version)
        throw PublishError("version \"" + version + "\" reads as " + read +
                           " by the updater's version rule: write four numbers, such as 3.0.0.6");
}

// A url the updater fetches as written and stores under its last segment,
// naming a file below the root.
void CheckUrl(const std::string& url) {
    if (url.empty() || url.find_first_not_of(kUrlCharacters) != std::string::npos)
        throw PublishError("url \"" + url + "\": use letters, digits, \"-._~+\" and \"/\" only");
    for (const std::string_view component : common::PathComponents(url, common::PathText::Gbk))
        if (component.empty() || component == "." || common::IsEscapingComponent(component))
            throw PublishError("url \"" + url + "\" does not name a file below the root folder");
    if (update::ArchiveNameOf(url).empty()) throw PublishError("url \"" + url + "\" has no archive name");
}

std::string Hex(const platform::Sha256Digest& digest) {
    static const char kDigits[] = "0123456789abcdef";
    std::string text;
    for (const uint8_t byte : digest) {
        text += kDigits[byte >> 4];
        text += kDigits[byte & 15];
    }
    return text;
}

PackageFacts Measure(const std::string& path) {
    const std::unique_ptr<platform::FileReader> file = platform::OpenFileReader(platform::Utf8Path{path});
    if (file == nullptr) throw PublishError("package " + path + ": cannot be read");
    platform::Sha256 sha256;
    std::vector<uint8_t> block(kHashBlock);
    for (uint64_t at = 0; at < file->Size();) {
        const std::size_t n = std::size_t(std::min<uint64_t>(block.size(), file->Size() - at));
        if (!file->ReadAt(at, block.data(), n)) throw PublishError("package " + path + ": cannot be read");
        sha256.Add(block.data(), n);
        at += n;
    }
    const std::optional<platform::Sha256Digest> digest = sha256.Finish();
    if (!digest) throw PublishError("libcrypto cannot hash " + path);
    return {file->Size(), Hex(*digest)};
}

std::string ExpiryOf(const PublishRequest& request) {
    if (!request.expires) {
        if (request.days < 1 || request.days > kMaxDays)
            throw PublishError("--days takes 1 to " + std::to_string(kMaxDays));
        return UtcText(request.now + int64_t(request.days) * kSecondsPerDay);
    }
    const std::optional<int64_t> expires = update::trust::ParseUtcTime(*request.expires);
    if (!expires) throw PublishError("--expires \"" + *request.expires + "\" is not YYYY-MM-DDThh:mm:ssZ");
    if (*expires <= request.now) throw PublishError("--expires " + *request.expires + " has passed already");
    return *request.expires;
}

std::string Base64Of(const std::string& bytes) {
    std::string text(common::Base64Length(bytes.size()), '\0');
    common::Base64Encode(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), text.data());
    return text;
}

// What an updater with this key makes of the output, by the updater's own code.
void CheckAsTheUpdaterWould(const VendorKey& key, const std::string& manifest, const std::string& signature,
                            const std::vector<PackageFacts>& facts, int64_t now) {
    const update::trust::TrustedKeys keys = update::trust::ReadTrustedKeys(key.PublicPem());
    const update::SignedManifestReading reading = update::ReadSignedManifest({keys.keys, 0, now}, manifest, signature);
    bool same = reading.result == update::SignedManifestResult::Accepted &&
                reading.manifest.entries.size() == facts.size();
    for (std::size_t i = 0; same && i < facts.size(); ++i)
        same = reading.manifest.entries[i].digest->size == facts[i].size &&
               reading.manifest.entries[i].digest->sha256 == update::trust::ParseSha256(facts[i].sha256);
    if (!same) throw PublishError("the signed manifest does not read back as written: " + reading.refusal.Text());
}

}  // namespace

std::string Publish(const PublishRequest& request) {
    CheckVersion(request.version);
    CheckUrl(request.url);
    const std::string expires = ExpiryOf(request);
    const std::string description =
        DescriptionBase64(ReadFileText(request.description, kMaxTextBytes, "description"));
    const VendorKey key(ReadFileText(request.key, kMaxKeyBytes, "key"));

    const std::string manifestPath = InRoot(request.root, kManifestFile);
    ManifestDocument document;
    document.groupAttributes = {{"name", request.group}};
    if (platform::OpenFileReader(platform::Utf8Path{manifestPath}) != nullptr)
        document = ReadManifestDocument(ReadFileText(manifestPath, kMaxTextBytes, "manifest"));
    PutEntry(document, {"entry", {}, request.version, request.url, description, std::nullopt});

    std::vector<PackageFacts> facts;
    for (const ManifestEntry& entry : document.entries) facts.push_back(Measure(InRoot(request.root, entry.url)));
    const uint64_t serial = document.serial.value_or(0) + 1;
    if (serial == 0) throw PublishError("the manifest's serial cannot be raised any further");
    const std::string manifest = WriteManifestDocument(document, serial, expires, facts);
    const std::string signature = Base64Of(key.Sign(manifest));
    CheckAsTheUpdaterWould(key, manifest, signature, facts, request.now);

    PendingFiles outputs;
    outputs.Write(manifestPath, manifest);
    outputs.Write(manifestPath + kSignatureSuffix, signature);
    outputs.CommitAll();
    return manifestPath + ": serial " + std::to_string(serial) + ", expires " + expires + ", " +
           std::to_string(document.entries.size()) + " entries, signed in " + kManifestFile + kSignatureSuffix;
}

}  // namespace publish
