#include "update/update_documents.h"

namespace update {

namespace {

bool ReadEntry(const platform::XmlNode& node, UpdateEntry& entry) {
    for (const platform::XmlNode& child : node.children) {
        if (child.name == "version") entry.version = platform::XmlText(child);
        else if (child.name == "url") entry.url = platform::XmlText(child);
        else if (child.name == "description") entry.description = platform::XmlText(child);
        else if (child.name != "restart-os") return false;
    }
    return true;
}

bool ReadItem(const platform::XmlNode& node, FileAction& record) {
    const std::string* name = FindAttribute(node, "name");
    if (node.kind != platform::XmlNode::Element || name == nullptr) return false;
    record.name = *name;
    for (const platform::XmlNode& child : node.children) {
        if (child.name == "action") record.action = ActionKindOf(platform::XmlText(child));
        else if (child.name == "additional") record.additional = platform::XmlText(child);
        else return false;
    }
    return true;
}

}  // namespace

const std::string* FindAttribute(const platform::XmlNode& node, const std::string& name) {
    for (const auto& [key, value] : node.attributes)
        if (key == name) return &value;
    return nullptr;
}

ActionKind ActionKindOf(std::string_view word) {
    if (word == "copy") return ActionKind::Copy;
    if (word == "replace") return ActionKind::Replace;
    if (word == "remove") return ActionKind::Remove;
    if (word == "execute") return ActionKind::Execute;
    return ActionKind::Other;
}

bool ReadManifestTree(const platform::XmlNode& document, Manifest& manifest) {
    if (document.children.empty()) return false;
    const platform::XmlNode& group = document.children.front();
    if (group.attributes.empty()) return false;
    manifest.groupValue = group.attributes.front().second;
    if (group.children.empty()) return false;
    manifest.entries.clear();
    for (const platform::XmlNode& node : group.children) {
        UpdateEntry entry;
        if (!ReadEntry(node, entry)) return false;
        manifest.entries.push_back(std::move(entry));
    }
    return true;
}

bool ParseManifest(const std::string& text, Manifest& manifest) {
    const std::optional<platform::XmlNode> document = platform::ParseXmlDocument(text);
    return document && ReadManifestTree(*document, manifest);
}

bool ReadScriptTree(const platform::XmlNode& document, std::vector<FileAction>& actions) {
    if (document.children.size() < 4) return false;
    const platform::XmlNode& list = document.children[3];
    if (list.children.empty()) return false;
    actions.clear();
    FileAction record;
    for (const platform::XmlNode& item : list.children) {
        if (!ReadItem(item, record)) return false;
        actions.push_back(record);
    }
    return true;
}

}  // namespace update
