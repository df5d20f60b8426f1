#include <cstdlib>
#include <ctime>

#include "platform/local_zone.h"

namespace platform {

void SetLocalZone(const char* zone) {
    zone ? setenv("TZ", zone, 1) : unsetenv("TZ");
    tzset();
}

}  // namespace platform
