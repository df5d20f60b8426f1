#pragma once
#include <string>
#include <string_view>

// Entry names: decoded from GBK or UTF-8 and turned into a relative path that
// stays inside the folder extracted into, or refused.
namespace unzdll {

enum class NameCheck { Safe, Unreadable, Unsafe };

struct EntryName {
    NameCheck check = NameCheck::Safe;
    std::string text;  // UTF-8 as stored; the raw bytes when unreadable
    std::string path;  // components joined by "/"; empty for the archive's root folder
    bool folder = false;
};

// `utf8` is the entry's flag bit 11; without it the name is GBK. "/" and "\"
// both separate components, as they do on Windows. Refused: absolute names,
// drive letters and any ":", components of dots and spaces only (".." and
// what Windows would trim to it), control characters, and names Windows
// reserves for devices, so that a package extracts the same on every platform.
EntryName ResolveEntryName(std::string_view raw, bool utf8);

// The name for messages: GBK, with "?" for control characters and for what
// does not convert when the name is not `readable`.
std::string DisplayName(std::string_view raw, bool utf8, bool readable);

}  // namespace unzdll
