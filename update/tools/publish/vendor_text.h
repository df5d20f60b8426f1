#pragma once
// The vendor's texts (UTF-8, as typed on Linux) turned into what the updater
// reads (GBK), refused with the place of the first character it could not
// show as written.
#include <string>

namespace publish {

// A name in GBK; throws PublishError when GBK has no form of it.
std::string GbkOf(const std::string& utf8, const std::string& what);

// A description file's text (a leading byte order mark and trailing line
// breaks dropped) as the manifest carries it: Base64 of its UTF-8. Throws
// PublishError for text the updater would not show as written: it reads
// ASCII and three-byte UTF-8 of the characters GBK writes in two bytes.
std::string DescriptionBase64(std::string text);

}  // namespace publish
