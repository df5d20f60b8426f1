#include "mail/mime/media_types.h"

#include "mail/text/ascii.h"

namespace ziromail {

const ExtensionType ExtensionTypeTable[] = {
    {4, "xml", "xml"},
    {4, "msword", "doc"},
    {4, "rtf", "rtf"},
    {4, "vnd.ms-excel", "xls"},
    {4, "vnd.ms-powerpoint", "ppt"},
    {4, "pdf", "pdf"},
    {4, "zip", "zip"},
    {1, "jpeg", "jpeg"},
    {1, "jpeg", "jpg"},
    {1, "gif", "gif"},
    {1, "tiff", "tif"},
    {1, "tiff", "tiff"},
    {2, "basic", "wav"},
    {2, "basic", "mp3"},
    {3, "mpeg", "mpg"},
    {3, "mpeg", "mpeg"},
    {7, "", ""},
};

std::string MediaTypeForFileName(std::string_view fileName) {
    std::size_t dot = fileName.rfind('.');
    if (dot != std::string_view::npos) {
        std::string_view extension = fileName.substr(dot + 1);
        for (const ExtensionType* row = ExtensionTypeTable; row->typeIndex != 7; ++row) {
            if (EqualsIgnoreCase(row->extension, extension))
                return std::string(MediaTypeNames[row->typeIndex]) + "/" + std::string(row->subtype);
        }
    }
    return "application/octet-stream";
}

}  // namespace ziromail
