// The system's COM XML DOM (DOMDocument), loaded from a string. The text is
// GBK and reaches the DOM already decoded, so a declared encoding no longer
// applies and is dropped before loading.
#include <windows.h>
#include <msxml2.h>

#include "platform/win/wide_text.h"
#include "platform/xml_tree.h"

namespace platform {

namespace {

// msxml2.h maps CLSID_DOMDocument to DOMDocument2's, which does not link.
const CLSID kDomDocument = {0x2933BF90, 0x7B36, 0x11D2, {0xB2, 0x0E, 0x00, 0xC0, 0x4F, 0x98, 0x3E, 0x60}};
const IID kIXMLDOMDocument = {0x2933BF81, 0x7B36, 0x11D2, {0xB2, 0x0E, 0x00, 0xC0, 0x4F, 0x98, 0x3E, 0x60}};

template <typename T>
class ComPtr {
public:
    ComPtr() = default;
    ~ComPtr() {
        if (p_ != nullptr) p_->Release();
    }
    ComPtr(const ComPtr&) = delete;
    ComPtr& operator=(const ComPtr&) = delete;
    T** Out() { return &p_; }
    T* operator->() const { return p_; }
    T* get() const { return p_; }

private:
    T* p_ = nullptr;
};

class ComScope {
public:
    ComScope() : initialised_(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {}
    ~ComScope() {
        if (initialised_) CoUninitialize();
    }

private:
    bool initialised_;
};

std::string TakeBstr(BSTR text) {
    std::string out = text ? WideToGbk(std::wstring_view(text, SysStringLen(text))) : std::string();
    SysFreeString(text);
    return out;
}

std::string NodeName(IXMLDOMNode* node) {
    BSTR name = nullptr;
    node->get_nodeName(&name);
    return TakeBstr(name);
}

std::string NodeValue(IXMLDOMNode* node) {
    VARIANT value;
    VariantInit(&value);
    std::string out;
    if (SUCCEEDED(node->get_nodeValue(&value)) && value.vt == VT_BSTR)
        out = WideToGbk(std::wstring_view(value.bstrVal, SysStringLen(value.bstrVal)));
    VariantClear(&value);
    return out;
}

bool OnlyWhiteSpace(const std::string& text) {
    return text.find_first_not_of(" \t\r\n") == std::string::npos;
}

void AddAttributes(IXMLDOMNode* element, XmlNode& out) {
    ComPtr<IXMLDOMNamedNodeMap> map;
    long count = 0;
    if (FAILED(element->get_attributes(map.Out())) || map.get() == nullptr || FAILED(map->get_length(&count))) return;
    for (long i = 0; i < count; ++i) {
        ComPtr<IXMLDOMNode> attribute;
        if (SUCCEEDED(map->get_item(i, attribute.Out())) && attribute.get() != nullptr)
            out.attributes.emplace_back(NodeName(attribute.get()), NodeValue(attribute.get()));
    }
}

bool Convert(IXMLDOMNode* node, XmlNode& out, int depth);

// One child as a tree node; false to leave it out.
bool ConvertChild(IXMLDOMNode* child, XmlNode& converted, int depth, bool& tooDeep) {
    DOMNodeType type = NODE_INVALID;
    child->get_nodeType(&type);
    switch (type) {
    case NODE_ELEMENT:
        converted = MakeXmlNode(XmlNode::Element, NodeName(child));
        AddAttributes(child, converted);
        tooDeep = !Convert(child, converted, depth + 1);
        return true;
    case NODE_TEXT:
        converted = MakeXmlNode(XmlNode::Text, "#text", NodeValue(child));
        return !OnlyWhiteSpace(converted.value);
    case NODE_CDATA_SECTION:
        converted = MakeXmlNode(XmlNode::CData, "#cdata-section", NodeValue(child));
        return true;
    case NODE_COMMENT:
        converted = MakeXmlNode(XmlNode::Comment, "#comment", NodeValue(child));
        return true;
    case NODE_PROCESSING_INSTRUCTION:
        converted = MakeXmlNode(XmlNode::ProcessingInstruction, NodeName(child), NodeValue(child));
        return true;
    case NODE_ENTITY_REFERENCE:
        converted = MakeXmlNode(XmlNode::EntityReference, NodeName(child));
        tooDeep = !Convert(child, converted, depth + 1);
        return true;
    default:
        return false;
    }
}

bool Convert(IXMLDOMNode* node, XmlNode& out, int depth) {
    if (depth > kMaxXmlDepth) return false;
    IXMLDOMNode* child = nullptr;
    node->get_firstChild(&child);
    while (child != nullptr) {
        XmlNode converted;
        bool tooDeep = false;
        if (ConvertChild(child, converted, depth, tooDeep)) out.children.push_back(std::move(converted));
        IXMLDOMNode* next = nullptr;
        child->get_nextSibling(&next);
        child->Release();
        child = next;
        if (tooDeep) {
            if (child != nullptr) child->Release();
            return false;
        }
    }
    return true;
}

// Removes encoding="..." from a leading XML declaration.
std::string WithoutDeclaredEncoding(std::string_view text) {
    std::string out(text);
    if (out.compare(0, 5, "<?xml") != 0) return out;
    const std::size_t end = out.find("?>");
    const std::size_t at = out.find("encoding", 5);
    if (end == std::string::npos || at == std::string::npos || at > end) return out;
    const std::size_t open = out.find_first_of("\"'", at);
    if (open == std::string::npos || open > end) return out;
    const std::size_t close = out.find(out[open], open + 1);
    if (close == std::string::npos || close > end) return out;
    out.erase(at, close + 1 - at);
    return out;
}

}  // namespace

std::optional<XmlNode> ParseXmlDocument(std::string_view text) {
    ComScope com;
    ComPtr<IXMLDOMDocument> document;
    if (FAILED(CoCreateInstance(kDomDocument, nullptr, CLSCTX_INPROC_SERVER, kIXMLDOMDocument,
                                reinterpret_cast<void**>(document.Out()))))
        return std::nullopt;
    document->put_async(VARIANT_FALSE);
    document->put_validateOnParse(VARIANT_FALSE);
    document->put_resolveExternals(VARIANT_FALSE);
    const std::wstring wide = GbkToWide(WithoutDeclaredEncoding(text));
    BSTR source = SysAllocStringLen(wide.data(), UINT(wide.size()));
    VARIANT_BOOL loaded = VARIANT_FALSE;
    document->loadXML(source, &loaded);
    SysFreeString(source);
    ComPtr<IXMLDOMElement> root;
    if (loaded != VARIANT_TRUE || FAILED(document->get_documentElement(root.Out())) || root.get() == nullptr)
        return std::nullopt;
    XmlNode element = MakeXmlNode(XmlNode::Element, NodeName(root.get()));
    AddAttributes(root.get(), element);
    if (!Convert(root.get(), element, 1)) return std::nullopt;
    return element;
}

}  // namespace platform
