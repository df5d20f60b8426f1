#include "platform/broken_down_time.h"

#include <time.h>

namespace platform {

bool ToLocalTime(std::time_t instant, std::tm& local) { return localtime_r(&instant, &local) != nullptr; }

bool ToUniversalTime(std::time_t instant, std::tm& utc) { return gmtime_r(&instant, &utc) != nullptr; }

}  // namespace platform
