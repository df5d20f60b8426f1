#include "mail/mime/mail_date.h"

#include <cstdio>
#include <cstdlib>

#include "platform/broken_down_time.h"

namespace ziromail {

namespace {

constexpr const char* kWeekdays[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
constexpr const char* kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                   "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

// Minutes east of UTC. The local and UTC fields already differ by any
// daylight saving in effect, so nothing more is taken off for it.
int OffsetMinutes(const std::tm& local, const std::tm& utc) {
    int dayDifference = local.tm_mday - utc.tm_mday;
    if (dayDifference > 1) dayDifference = -1;  // month wrap
    if (dayDifference < -1) dayDifference = 1;
    return (dayDifference * 24 + local.tm_hour - utc.tm_hour) * 60 + local.tm_min - utc.tm_min;
}

}  // namespace

std::optional<std::string> FormatMailDate(std::time_t instant) {
    std::tm local{}, utc{};
    if (!platform::ToLocalTime(instant, local) || !platform::ToUniversalTime(instant, utc)) return std::nullopt;
    int offset = OffsetMinutes(local, utc);
    int magnitude = std::abs(offset);
    char text[64];
    std::snprintf(text, sizeof text, "%s, %d %s %d %02d:%02d:%02d %c%02d%02d", kWeekdays[local.tm_wday % 7],
                  local.tm_mday, kMonths[local.tm_mon % 12], local.tm_year + 1900, local.tm_hour, local.tm_min,
                  local.tm_sec, offset < 0 ? '-' : '+', magnitude / 60, magnitude % 60);
    return std::string(text);
}

}  // namespace ziromail
