#include "update/tools/publish/manifest_document.h"

#include "platform/xml_tree.h"
#include "update/tools/publish/publish_error.h"
#include "update/tools/publish/xml_markup.h"
#include "update/trust/manifest_attributes.h"
#include "update/update_documents.h"
#include "update/version_number.h"

namespace publish {

namespace {

constexpr char kDeclaration[] = "<?xml version=\"1.0\" encoding=\"GBK\"?>\n";

Attributes Without(const Attributes& attributes, const char* first, const char* second) {
    Attributes kept;
    for (const auto& attribute : attributes)
        if (attribute.first != first && attribute.first != second) kept.push_back(attribute);
    return kept;
}

std::string StartTag(const std::string& element, const Attributes& attributes) {
    std::string tag = "<" + element;
    for (const auto& [name, value] : attributes) tag += " " + name + "=\"" + XmlEscaped(value) + "\"";
    return tag + ">";
}

std::string Element(const char* name, const std::string& text) {
    return std::string("<") + name + ">" + XmlEscaped(text) + "</" + name + ">";
}

ManifestEntry EntryOf(const platform::XmlNode& node, const update::UpdateEntry& read) {
    if (node.kind != platform::XmlNode::Element)
        throw PublishError("the manifest's group holds something other than entries");
    ManifestEntry entry{node.name, Without(node.attributes, "size", "sha256"), read.version, read.url,
                        read.description, std::nullopt};
    for (const platform::XmlNode& child : node.children)
        if (child.name == "restart-os") entry.restartOs = platform::XmlText(child);
    return entry;
}

}  // namespace

ManifestDocument ReadManifestDocument(const std::string& text) {
    const std::optional<platform::XmlNode> root = platform::ParseXmlDocument(text);
    update::Manifest read;
    if (!root || !update::ReadManifestTree(*root, read))
        throw PublishError("the manifest is not one the updater reads (a document element, a group with an "
                           "attribute, entries of version, url, description and restart-os)");
    ManifestDocument document;
    document.element = root->name;
    document.attributes = Without(root->attributes, "serial", "expires");
    if (const std::string* serial = update::FindAttribute(*root, "serial")) {
        document.serial = update::trust::ParseDecimal(*serial);
        if (!document.serial) throw PublishError("the manifest's serial \"" + *serial + "\" is not a decimal number");
    }
    const platform::XmlNode& group = root->children.front();
    document.groupElement = group.name;
    document.groupAttributes = group.attributes;
    for (std::size_t i = 0; i < read.entries.size(); ++i)
        document.entries.push_back(EntryOf(group.children[i], read.entries[i]));
    return document;
}

void PutEntry(ManifestDocument& document, ManifestEntry entry) {
    const update::VersionNumber version = update::ParseVersion(entry.version);
    for (auto it = document.entries.begin(); it != document.entries.end(); ++it) {
        const update::VersionNumber other = update::ParseVersion(it->version);
        if (other == version) {
            entry.element = it->element;
            entry.attributes = it->attributes;
            entry.restartOs = it->restartOs;
            *it = std::move(entry);
            return;
        }
        if (update::IsNewer(other, version)) {
            document.entries.insert(it, std::move(entry));
            return;
        }
    }
    document.entries.push_back(std::move(entry));
}

std::string WriteManifestDocument(const ManifestDocument& document, uint64_t serial, const std::string& expires,
                                  const std::vector<PackageFacts>& facts) {
    Attributes rootAttributes = {{"serial", std::to_string(serial)}, {"expires", expires}};
    rootAttributes.insert(rootAttributes.end(), document.attributes.begin(), document.attributes.end());
    std::string text = kDeclaration + StartTag(document.element, rootAttributes) + "\n" +
                       StartTag(document.groupElement, document.groupAttributes) + "\n";
    for (std::size_t i = 0; i < document.entries.size(); ++i) {
        const ManifestEntry& entry = document.entries[i];
        Attributes attributes = {{"size", std::to_string(facts[i].size)}, {"sha256", facts[i].sha256}};
        attributes.insert(attributes.end(), entry.attributes.begin(), entry.attributes.end());
        text += StartTag(entry.element, attributes) + Element("version", entry.version) + Element("url", entry.url) +
                Element("description", entry.description);
        if (entry.restartOs) text += Element("restart-os", *entry.restartOs);
        text += "</" + entry.element + ">\n";
    }
    return text + "</" + document.groupElement + ">\n</" + document.element + ">\n";
}

}  // namespace publish
