#pragma once
// `publish`: one entry added to the manifest (or put in place of the entry
// of the same version), every entry's package measured and hashed, the serial
// raised, the expiry set, and the manifest signed. The root folder is what
// the server serves as "/im/": update.xml, update.xml.sig and, below it, each
// entry's package at its url.
#include <cstdint>
#include <optional>
#include <string>

namespace publish {

struct PublishRequest {
    std::string root;
    std::string key;          // the vendor's private key file
    std::string version;      // four numbers, written as the updater reads them
    std::string url;          // below the root, "/" separated
    std::string description;  // a UTF-8 text file
    std::optional<std::string> expires;  // "YYYY-MM-DDThh:mm:ssZ"; otherwise `days` from now
    int days = 30;
    std::string group = "ziro";  // the group value of a new manifest
    int64_t now = 0;             // seconds since 1970, UTC
};

// Writes update.xml and update.xml.sig; the summary for the vendor. Throws
// PublishError, and then nothing is written.
std::string Publish(const PublishRequest& request);

}  // namespace publish
