#include "update/unzdll/entry_name.h"

#include <array>
#include <cstdint>

#include "common/ascii_case.h"
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

bool IsSeparator(char c) { return c == '/' || c == '\\'; }

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

// Windows opens a device for these names, whatever the extension.
bool IsDeviceName(std::string_view component) {
    std::string base;
    for (char c : component.substr(0, component.find('.'))) base += common::AsciiUpper(c);
    while (!base.empty() && base.back() == ' ') base.pop_back();
    static constexpr std::array<std::string_view, 6> kDevices = {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$"};
    for (std::string_view device : kDevices)
        if (base == device) return true;
    return base.size() == 4 && (base.starts_with("COM") || base.starts_with("LPT")) && base[3] >= '0' &&
           base[3] <= '9';
}

bool IsUnsafeComponent(std::string_view component) {
    return component.find(':') != std::string_view::npos ||
           component.find_first_not_of(". ") == std::string_view::npos || IsDeviceName(component);
}

}  // namespace

EntryName ResolveEntryName(std::string_view raw, bool utf8) {
    EntryName name;
    if (!Decode(raw, utf8, name.text)) {
        name.check = NameCheck::kUnreadable;
        name.text = raw;
        return name;
    }
    const std::string& text = name.text;
    name.check = NameCheck::kUnsafe;
    if (text.empty() || IsSeparator(text[0])) return name;
    for (char c : text)
        if (IsControl(c)) return name;
    name.folder = IsSeparator(text.back());

    size_t start = 0;
    while (start < text.size()) {
        size_t stop = start;
        while (stop < text.size() && !IsSeparator(text[stop])) ++stop;
        const std::string_view component(text.data() + start, stop - start);
        start = stop + 1;
        if (component.empty() || component == ".") continue;
        if (IsUnsafeComponent(component)) return name;
        if (!name.path.empty()) name.path += '/';
        name.path += component;
    }
    if (name.path.empty() && !name.folder) return name;
    name.check = NameCheck::kSafe;
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
