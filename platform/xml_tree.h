#pragma once
// A parsed XML document as a plain tree, the same from every platform parser:
// element names, text, attributes in document order. White-space-only text
// between elements is not a node.
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace platform {

struct XmlNode {
    enum Kind { Element, Text, CData, Comment, ProcessingInstruction, EntityReference };
    Kind kind = Element;
    // The DOM's node name: the qualified name of an element, "#text",
    // "#cdata-section", "#comment", the target of a processing instruction,
    // the name of an entity reference.
    std::string name;
    std::string value;  // character data of a text, CDATA, comment or instruction
    std::vector<std::pair<std::string, std::string>> attributes;
    std::vector<XmlNode> children;
};

inline XmlNode MakeXmlNode(XmlNode::Kind kind, std::string name, std::string value = {}) {
    XmlNode node;
    node.kind = kind;
    node.name = std::move(name);
    node.value = std::move(value);
    return node;
}

// Documents deeper than this are refused as the parsers refuse them.
constexpr int kMaxXmlDepth = 256;

// The text of a node as the DOM reports it: the character data of all text and
// CDATA below it, in document order, without white space at either end.
std::string XmlText(const XmlNode& node);

// The document element of `text` (GBK, whatever encoding it declares);
// nothing when the text is empty, malformed or too deep.
std::optional<XmlNode> ParseXmlDocument(std::string_view text);

}  // namespace platform
