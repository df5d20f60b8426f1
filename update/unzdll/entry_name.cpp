#include "update/unzdll/entry_name.h"

#include <cstdint>

#include "common/relative_path.h"
#include "common/utf8_text.h"
#include "platform/text_encoding.h"

namespace unzdll {
namespace {

bool IsAscii(std::string_view text) {
    for (char c : text)
        if (uint8_t(c) >= 0x80) return false;
    return true;
}

bool IsControl(char c) { return uint8_t(c) < 0x20 || c == 0x7F; }

// GBK counts as readable when it converts to UTF-8 and back unchanged: the
// conversion itself replaces what it cannot read.
bool Decode(std::string_view raw, bool utf8, std::string& text) {
    if (IsAscii(raw) || utf8) {
        text = raw;
        return common::IsValidUtf8(raw);
    }
    text = platform::GbkToUtf8(raw);
    return platform::Utf8ToGbk(text) == raw;
}

}  // namespace

EntryName ResolveEntryName(std::string_view raw, bool utf8) {
    EntryName name;
    if (!Decode(raw, utf8, name.text)) {
        name.check = NameCheck::Unreadable;
        name.text = raw;
        return name;
    }
    const std::string& text = name.text;
    name.check = NameCheck::Unsafe;
    if (text.empty() || common::IsPathSeparator(text[0])) return name;
    for (char c : text)
        if (IsControl(c)) return name;
    name.folder = common::IsPathSeparator(text.back());

    for (const std::string_view component : common::PathComponents(text, common::PathText::Utf8)) {
        if (component.empty() || component == ".") continue;
        if (common::IsEscapingComponent(component)) return name;
        if (!name.path.empty()) name.path += '/';
        name.path += component;
    }
    if (name.path.empty() && !name.folder) return name;
    name.check = NameCheck::Safe;
    return name;
}

std::string DisplayName(std::string_view raw, bool utf8, bool readable) {
    std::string shown(raw);
    if (utf8 && !IsAscii(raw)) shown = platform::Utf8ToGbk(raw);
    else if (!readable) shown = platform::Utf8ToGbk(platform::GbkToUtf8(raw));
    // GBK's second bytes are never below 0x40, so this cannot split a character.
    for (char& c : shown)
        if (IsControl(c)) c = '?';
    return shown;
}

}  // namespace unzdll
