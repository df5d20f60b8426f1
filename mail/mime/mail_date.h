#pragma once
// The Date field's text, e.g. "Mon, 7 Dec 2026 08:49:10 +0800".
#include <ctime>
#include <optional>
#include <string>

namespace ziromail {

// Local time of `instant` with its offset from UTC; none when the time cannot be converted.
std::optional<std::string> FormatMailDate(std::time_t instant);

}  // namespace ziromail
