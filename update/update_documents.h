#pragma once
// The two XML documents of an update: the server's manifest and a package's
// install script, read from their element trees.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/xml_tree.h"
#include "update/trust/manifest_attributes.h"

namespace update {

struct UpdateEntry {
    std::string version;
    std::string url;          // archive path below the server's "/im/"
    std::string description;  // Base64 of UTF-8 text
    int closeClient = 1;      // always 1
    // What a signed manifest promises about the archive; only where the
    // client folder has a key, which makes the download check it.
    std::optional<trust::PackageDigest> digest = std::nullopt;
};

struct Manifest {
    std::string groupValue;  // the group's first attribute; stored only
    std::vector<UpdateEntry> entries;
};

// The value of the node's attribute of that name; null when it has none.
const std::string* FindAttribute(const platform::XmlNode& node, const std::string& name);

// An install script's action word, matched exactly; any other word does nothing.
enum class ActionKind { Copy, Replace, Remove, Execute, Other };

ActionKind ActionKindOf(std::string_view word);

struct FileAction {
    std::string name;  // relative to the client folder, "/" or "\" separated
    ActionKind action = ActionKind::Other;
    std::string additional;  // carried, used by no action
};

// The manifest: the document element's first child is the group (its first
// attribute is the group value), each child of the group an entry. An unknown
// element inside an entry rejects the manifest; the entries read until then
// stay in `manifest`.
bool ReadManifestTree(const platform::XmlNode& document, Manifest& manifest);
// The same from the manifest's text, through the platform's XML parser.
bool ParseManifest(const std::string& text, Manifest& manifest);

// The install script: the document element's fourth child lists the items.
// One record serves every item, so an item without "action" or "additional"
// repeats the one before. False leaves the items read until then in `actions`.
bool ReadScriptTree(const platform::XmlNode& document, std::vector<FileAction>& actions);

}  // namespace update
