#pragma once
#include <optional>
#include <string>

namespace voicemsg {

// Reads a pack text file for playing or inspecting. Trailing line breaks and
// blanks (an editor's final newline) are dropped. Nothing, with `error` set,
// when the file cannot be read, is empty or larger than a pack text can be,
// or has a chunk that is not valid Base64.
std::optional<std::string> ReadPackFile(const std::string& path, std::string& error);

// Writes the text as it is; false when the file cannot be written.
bool WritePackFile(const std::string& path, const char* text, size_t size);

}  // namespace voicemsg
