#pragma once
// Finding "; name=value" parameters inside a field body.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace ziromail {

struct ParameterSpan {
    std::size_t begin;  // first byte of the value (its opening quote when quoted)
    std::size_t end;    // one past the value (past the closing quote)
};

// The value of `name` in `fieldValue`, found after a ";" and optional blanks,
// matched case-insensitively and followed by a blank or "=".
std::optional<ParameterSpan> FindParameter(std::string_view fieldValue, std::string_view name);

// A double quote in front unless there is one, and one behind unless the
// value is at least two bytes long and ends with one.
std::string QuoteParameterValue(std::string_view value);

// The value with its surrounding quotes removed.
std::string_view UnquoteParameterValue(std::string_view value);

}  // namespace ziromail
