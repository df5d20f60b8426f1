#include "mail/mime/header_parameters.h"

#include "mail/text/ascii.h"

namespace ziromail {

namespace {

constexpr std::string_view kTokenEnders = "(),.:;<=>@[\\]\"";

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::size_t SkipBlanks(std::string_view text, std::size_t at) {
    while (at < text.size() && IsBlank(text[at])) ++at;
    return at;
}

// Where a value starting at `at` ends: quoted strings run to their closing
// quote (included); tokens end before a control byte, a blank or a special.
std::size_t ValueEnd(std::string_view text, std::size_t at) {
    if (at < text.size() && text[at] == '"') {
        std::size_t close = text.find('"', at + 1);
        return close == std::string_view::npos ? text.size() : close + 1;
    }
    while (at < text.size()) {
        unsigned char c = static_cast<unsigned char>(text[at]);
        if (c < 33 || kTokenEnders.find(static_cast<char>(c)) != std::string_view::npos) break;
        ++at;
    }
    return at;
}

// The next ";" at or after `at` that is not inside a quoted string.
std::size_t NextSemicolon(std::string_view text, std::size_t at) {
    while (at < text.size() && text[at] != ';') at = text[at] == '"' ? ValueEnd(text, at) : at + 1;
    return at < text.size() ? at : std::string_view::npos;
}

}  // namespace

std::optional<ParameterSpan> FindParameter(std::string_view fieldValue, std::string_view name) {
    for (std::size_t semicolon = NextSemicolon(fieldValue, 0); semicolon != std::string_view::npos;
         semicolon = NextSemicolon(fieldValue, semicolon + 1)) {
        std::size_t at = SkipBlanks(fieldValue, semicolon + 1);
        std::size_t after = at + name.size();
        if (!StartsWithIgnoreCase(fieldValue.substr(at), name) || after >= fieldValue.size()) continue;
        if (!IsBlank(fieldValue[after]) && fieldValue[after] != '=') continue;
        std::size_t equals = SkipBlanks(fieldValue, after);
        if (equals >= fieldValue.size() || fieldValue[equals] != '=') continue;
        std::size_t begin = SkipBlanks(fieldValue, equals + 1);
        return ParameterSpan{begin, ValueEnd(fieldValue, begin)};
    }
    return std::nullopt;
}

std::string QuoteParameterValue(std::string_view value) {
    std::string quoted(value);
    if (quoted.empty() || quoted.front() != '"') quoted.insert(quoted.begin(), '"');
    if (value.size() < 2 || value.back() != '"') quoted.push_back('"');
    return quoted;
}

std::string_view UnquoteParameterValue(std::string_view value) {
    if (!value.empty() && value.front() == '"') value.remove_prefix(1);
    if (!value.empty() && value.back() == '"') value.remove_suffix(1);
    return value;
}

}  // namespace ziromail
