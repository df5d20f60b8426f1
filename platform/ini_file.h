#pragma once
// Reading one value of an INI settings file, by the rules of the Windows
// private-profile call: section and key names compared without regard to case,
// white space around keys and values dropped, one pair of matching quotes
// around a value dropped, the first section and key of the name found, the
// rest of a line after "=" taken as it is (";" starts a comment only at the
// beginning of a line). At most bufferSize - 1 bytes are returned.
#include <cstddef>
#include <string>

namespace platform {

std::string ReadIniString(const std::string& path, const std::string& section, const std::string& key,
                          const std::string& defaultValue, std::size_t bufferSize);

}  // namespace platform
