#include "update/version_number.h"

#include <climits>

namespace update {

namespace {

bool IsCSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }

// The text before the first "."; `rest` becomes the text after it (unchanged when there is none).
std::string_view TakePart(std::string_view& rest) {
    const std::size_t dot = rest.find('.');
    if (dot == std::string_view::npos) return {};
    const std::string_view part = rest.substr(0, dot);
    rest.remove_prefix(dot + 1);
    return part;
}

}  // namespace

int32_t LeadingNumber(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && IsCSpace(text[i])) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    int64_t value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        value = value * 10 + (text[i] - '0');
        if (value > int64_t(INT_MAX) + 1) value = int64_t(INT_MAX) + 1;
    }
    if (negative) return value > int64_t(INT_MAX) ? INT_MIN : int32_t(-value);
    return value > INT_MAX ? INT_MAX : int32_t(value);
}

VersionNumber ParseVersion(std::string_view text) {
    const std::size_t firstDot = text.find('.');
    if (firstDot == std::string_view::npos) return kUndottedVersion;
    std::string_view rest = text.substr(firstDot + 1);
    const std::string_view second = TakePart(rest);
    const std::string_view third = TakePart(rest);
    const std::size_t dot = rest.find('.');
    const std::string_view fourth = dot == std::string_view::npos ? rest : rest.substr(dot + 1);
    return {{LeadingNumber(text.substr(0, firstDot)), LeadingNumber(second), LeadingNumber(third),
             LeadingNumber(fourth)}};
}

bool IsNewer(const VersionNumber& a, const VersionNumber& b) {
    for (std::size_t i = 0; i < a.parts.size(); ++i)
        if (a.parts[i] != b.parts[i]) return a.parts[i] > b.parts[i];
    return false;
}

std::string FormatVersion(const VersionNumber& version) {
    std::string text;
    for (std::size_t i = 0; i < version.parts.size(); ++i) {
        if (i > 0) text += '.';
        text += std::to_string(version.parts[i]);
    }
    return text;
}

}  // namespace update
