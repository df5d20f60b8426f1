#pragma once
// The manifest as the publishing tool edits it: read from the text the
// updater reads (only what the updater accepts is taken), written again with
// every entry's size and digest, the serial and the expiry. Texts are GBK.
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace publish {

using Attributes = std::vector<std::pair<std::string, std::string>>;

struct ManifestEntry {
    std::string element = "entry";
    Attributes attributes;  // any but size and sha256, which are written afresh
    std::string version;
    std::string url;
    std::string description;  // Base64 of UTF-8 text
    std::optional<std::string> restartOs;
};

struct ManifestDocument {
    std::string element = "updates";
    Attributes attributes;  // any but serial and expires
    std::optional<uint64_t> serial;
    std::string groupElement = "group";
    Attributes groupAttributes;  // the first one's value is the group the updater keeps
    std::vector<ManifestEntry> entries;
};

// What an entry's package is: its size and SHA-256 in hexadecimal.
struct PackageFacts {
    uint64_t size = 0;
    std::string sha256;
};

// Throws PublishError for a text the updater would not take.
ManifestDocument ReadManifestDocument(const std::string& text);

// The entry of that version replaced in its place, or a new one put before
// the first entry of a higher version, so that the list stays in order.
void PutEntry(ManifestDocument& document, ManifestEntry entry);

// `facts` holds one element per entry. `expires`: "YYYY-MM-DDThh:mm:ssZ".
std::string WriteManifestDocument(const ManifestDocument& document, uint64_t serial, const std::string& expires,
                                  const std::vector<PackageFacts>& facts);

}  // namespace publish
