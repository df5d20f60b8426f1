#pragma once
// The client folder and every name the updater derives from it.
#include <optional>
#include <string>
#include <vector>

namespace update {

// The folder part of the updater's own path: everything before its last
// separator; nothing when the path has none.
std::optional<std::string> ClientFolderOf(const std::string& modulePath, char separator);

// The local name of a package: the part of its url after the last "/" (or
// "\", which would otherwise lead out of the client folder). Empty when that
// name could not be a file of the client folder: empty, ".", or a name that
// escapes its folder (see common/relative_path.h).
std::string ArchiveNameOf(const std::string& url);

// A file action's name with every "/" and "\" made the platform's separator
// and one put in front; nothing when the name would leave the client folder
// (a ".." component, a drive, a ":" stream, a device name, a UNC path).
std::optional<std::string> NormalisedActionName(const std::string& name, char separator);

// Positions of `separator` in a GBK path, not counting a trail byte of a
// two-byte character.
std::vector<std::size_t> SeparatorPositions(const std::string& path, char separator);

// ASCII letters compared without regard to case; other bytes as they are.
bool SameTextIgnoringCase(const std::string& a, const std::string& b);

}  // namespace update
