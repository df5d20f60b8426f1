#pragma once
// The calendar fields of an instant, thread-safely, in local time and in UTC.
#include <ctime>

namespace platform {

bool ToLocalTime(std::time_t instant, std::tm& local);
bool ToUniversalTime(std::time_t instant, std::tm& utc);

}  // namespace platform
