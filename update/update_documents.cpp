#include "update/update_documents.h"

namespace update {

namespace {

const std::string* FindAttribute(const platform::XmlNode& node, const std::string& name) {
    for (const auto& [key, value] : node.attributes)
        if (key == name) return &value;
    return nullptr;
}

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
        if (child.name == "action") record.action = platform::XmlText(child);
        else if (child.name == "additional") record.additional = platform::XmlText(child);
        else return false;
    }
    return true;
}

}  // namespace

bool ReadManifestTree(const platform::XmlNode& document, std::vector<UpdateEntry>& entries, std::string& groupValue) {
    if (document.children.empty()) return false;
    const platform::XmlNode& group = document.children.front();
    if (group.attributes.empty()) return false;
    groupValue = group.attributes.front().second;
    if (group.children.empty()) return false;
    entries.clear();
    for (const platform::XmlNode& node : group.children) {
        UpdateEntry entry;
        if (!ReadEntry(node, entry)) return false;
        entries.push_back(std::move(entry));
    }
    return true;
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
