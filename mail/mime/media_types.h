#pragma once
// Media types of attached files, chosen by file name extension.
#include <array>
#include <string>
#include <string_view>

namespace ziromail {

// Top-level type names by index; index 3 is spelt as receivers of this library have always seen it.
inline constexpr std::array<std::string_view, 7> MediaTypeNames = {"text",      "image",     "audio",  "vedio",
                                                                   "application", "multipart", "message"};

struct ExtensionType {
    int typeIndex;  // into MediaTypeNames; 7 ends the table
    std::string_view subtype;
    std::string_view extension;
};

// Rows in lookup order, ended by a row with type index 7.
extern const ExtensionType ExtensionTypeTable[];

// "type/subtype" for the extension after the last "." (case-insensitive);
// "application/octet-stream" without a "." or a known extension.
std::string MediaTypeForFileName(std::string_view fileName);

}  // namespace ziromail
