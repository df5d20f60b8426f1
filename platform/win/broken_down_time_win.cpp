#include "platform/broken_down_time.h"

#include <time.h>

namespace platform {

bool ToLocalTime(std::time_t instant, std::tm& local) { return localtime_s(&local, &instant) == 0; }

bool ToUniversalTime(std::time_t instant, std::tm& utc) { return gmtime_s(&utc, &instant) == 0; }

}  // namespace platform
