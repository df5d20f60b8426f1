#include "platform/xml_tree.h"

namespace platform {

namespace {

bool IsXmlSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

void AppendText(const XmlNode& node, std::string& out) {
    if (node.kind == XmlNode::Text || node.kind == XmlNode::CData) out += node.value;
    for (const XmlNode& child : node.children) AppendText(child, out);
}

}  // namespace

std::string XmlText(const XmlNode& node) {
    std::string text;
    AppendText(node, text);
    std::size_t begin = 0, end = text.size();
    while (begin < end && IsXmlSpace(text[begin])) ++begin;
    while (end > begin && IsXmlSpace(text[end - 1])) --end;
    return text.substr(begin, end - begin);
}

}  // namespace platform
