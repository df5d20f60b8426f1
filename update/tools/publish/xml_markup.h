#pragma once
#include <string>

namespace publish {

// Markup characters as references, for text and attribute values alike.
std::string XmlEscaped(const std::string& text);

}  // namespace publish
