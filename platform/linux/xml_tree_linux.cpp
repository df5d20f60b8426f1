// libxml2 reads the document; the text is GBK, so it is handed over as UTF-8
// with any declared encoding ignored, and every string comes back as GBK.
#include <libxml/parser.h>
#include <libxml/tree.h>

#include <cstdint>
#include <mutex>

#include "platform/text_encoding.h"
#include "platform/xml_tree.h"

namespace platform {

namespace {

std::string Gbk(const xmlChar* utf8) {
    return utf8 == nullptr ? std::string() : Utf8ToGbk(reinterpret_cast<const char*>(utf8));
}

std::string QualifiedName(const xmlNode* node) {
    std::string name = Gbk(node->name);
    if (node->ns != nullptr && node->ns->prefix != nullptr) name = Gbk(node->ns->prefix) + ":" + name;
    return name;
}

bool OnlyWhiteSpace(const xmlChar* text) {
    for (; text != nullptr && *text; ++text)
        if (*text != ' ' && *text != '\t' && *text != '\r' && *text != '\n') return false;
    return true;
}

void AddAttributes(const xmlNode* element, XmlNode& out) {
    for (const xmlNs* ns = element->nsDef; ns != nullptr; ns = ns->next) {
        const std::string name = ns->prefix ? "xmlns:" + Gbk(ns->prefix) : std::string("xmlns");
        out.attributes.emplace_back(name, Gbk(ns->href));
    }
    for (const xmlAttr* a = element->properties; a != nullptr; a = a->next) {
        std::string name = Gbk(a->name);
        if (a->ns != nullptr && a->ns->prefix != nullptr) name = Gbk(a->ns->prefix) + ":" + name;
        xmlChar* value = xmlNodeListGetString(element->doc, a->children, 1);
        out.attributes.emplace_back(name, Gbk(value));
        xmlFree(value);
    }
}

// False when the tree is deeper than the DOM allows.
bool Convert(const xmlNode* node, XmlNode& out, int depth) {
    if (depth > kMaxXmlDepth) return false;
    for (const xmlNode* child = node->children; child != nullptr; child = child->next) {
        XmlNode converted;
        switch (child->type) {
        case XML_ELEMENT_NODE:
            converted.kind = XmlNode::Element;
            converted.name = QualifiedName(child);
            AddAttributes(child, converted);
            if (!Convert(child, converted, depth + 1)) return false;
            break;
        case XML_TEXT_NODE:
            if (OnlyWhiteSpace(child->content)) continue;
            converted = MakeXmlNode(XmlNode::Text, "#text", Gbk(child->content));
            break;
        case XML_CDATA_SECTION_NODE:
            converted = MakeXmlNode(XmlNode::CData, "#cdata-section", Gbk(child->content));
            break;
        case XML_COMMENT_NODE:
            converted = MakeXmlNode(XmlNode::Comment, "#comment", Gbk(child->content));
            break;
        case XML_PI_NODE:
            converted = MakeXmlNode(XmlNode::ProcessingInstruction, Gbk(child->name), Gbk(child->content));
            break;
        case XML_ENTITY_REF_NODE:
            converted = MakeXmlNode(XmlNode::EntityReference, Gbk(child->name));
            if (!Convert(child, converted, depth + 1)) return false;
            break;
        default:
            continue;
        }
        out.children.push_back(std::move(converted));
    }
    return true;
}

void InitialiseOnce() {
    static std::once_flag once;
    std::call_once(once, [] { xmlInitParser(); });
}

}  // namespace

std::optional<XmlNode> ParseXmlDocument(std::string_view text) {
    InitialiseOnce();
    const std::string utf8 = GbkToUtf8(text);
    if (utf8.size() > std::size_t(INT32_MAX)) return std::nullopt;
    const int options = XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING | XML_PARSE_IGNORE_ENC;
    xmlDoc* doc = xmlReadMemory(utf8.data(), int(utf8.size()), nullptr, "UTF-8", options);
    if (doc == nullptr) return std::nullopt;
    std::optional<XmlNode> result;
    const xmlNode* root = xmlDocGetRootElement(doc);
    if (root != nullptr) {
        XmlNode element = MakeXmlNode(XmlNode::Element, QualifiedName(root));
        AddAttributes(root, element);
        if (Convert(root, element, 1)) result = std::move(element);
    }
    xmlFreeDoc(doc);
    return result;
}

}  // namespace platform
