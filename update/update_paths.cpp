#include "update/update_paths.h"

#include "common/ascii_case.h"
#include "common/gbk_text.h"
#include "common/relative_path.h"

namespace update {

namespace {

using common::GbkCharacterLength;
using common::IsPathSeparator;

std::vector<std::string_view> Components(const std::string& name) {
    return common::PathComponents(name, common::PathText::Gbk);
}

}  // namespace

std::vector<std::size_t> SeparatorPositions(const std::string& path, char separator) {
    std::vector<std::size_t> positions;
    for (std::size_t i = 0; i < path.size(); i += GbkCharacterLength(path, i))
        if (path[i] == separator) positions.push_back(i);
    return positions;
}

std::optional<std::string> ClientFolderOf(const std::string& modulePath, char separator) {
    const std::vector<std::size_t> positions = SeparatorPositions(modulePath, separator);
    if (positions.empty()) return std::nullopt;
    return modulePath.substr(0, positions.back());
}

std::string ArchiveNameOf(const std::string& url) {
    const std::string_view name = Components(url).back();
    if (name.empty() || name == "." || common::IsEscapingComponent(name)) return {};
    return std::string(name);
}

std::optional<std::string> NormalisedActionName(const std::string& name, char separator) {
    if (name.size() >= 2 && IsPathSeparator(name[0]) && IsPathSeparator(name[1])) return std::nullopt;
    std::vector<std::string_view> components = Components(name);
    for (const std::string_view component : components)
        if (common::IsEscapingComponent(component)) return std::nullopt;
    // A leading separator is the one put in front anyway.
    if (!name.empty() && IsPathSeparator(name[0])) components.erase(components.begin());
    std::string normalised;
    for (const std::string_view component : components) normalised.append(1, separator).append(component);
    return normalised;
}

bool SameTextIgnoringCase(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size();) {
        const std::size_t n = GbkCharacterLength(a, i);
        if (n == 2) {
            if (a.compare(i, 2, b, i, 2) != 0) return false;
        } else if (common::AsciiLower(a[i]) != common::AsciiLower(b[i])) {
            return false;
        }
        i += n;
    }
    return true;
}

}  // namespace update
