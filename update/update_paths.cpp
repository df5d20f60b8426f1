#include "update/update_paths.h"

#include "common/ascii_case.h"
#include "common/gbk_text.h"

namespace update {

namespace {

using common::GbkCharacterLength;

bool IsSeparator(char c) { return c == '/' || c == '\\'; }

std::size_t FindLast(const std::string& text, bool (*match)(char)) {
    std::size_t found = std::string::npos;
    for (std::size_t i = 0; i < text.size(); i += GbkCharacterLength(text, i))
        if (match(text[i])) found = i;
    return found;
}

// ".", "..", "..." and the like, which the systems read as this or a parent
// folder (Windows drops trailing dots and spaces from names).
bool DotsOnly(const std::string& component) {
    return !component.empty() && component.find_first_not_of(". ") == std::string::npos;
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
    const std::size_t last = FindLast(url, IsSeparator);
    std::string name = last == std::string::npos ? url : url.substr(last + 1);
    if (name.empty() || DotsOnly(name) || name.find(':') != std::string::npos) return {};
    return name;
}

std::optional<std::string> NormalisedActionName(const std::string& name, char separator) {
    if (name.size() >= 2 && IsSeparator(name[0]) && IsSeparator(name[1])) return std::nullopt;
    if (name.find(':') != std::string::npos) return std::nullopt;
    std::string normalised(1, separator);
    std::string component;
    for (std::size_t i = 0; i <= name.size();) {
        if (i == name.size() || IsSeparator(name[i])) {
            if (component != "." && DotsOnly(component)) return std::nullopt;
            normalised += component;
            component.clear();
            if (i < name.size() && !(i == 0)) normalised += separator;
            ++i;
            continue;
        }
        const std::size_t n = GbkCharacterLength(name, i);
        component.append(name, i, n);
        i += n;
    }
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
