#include <cstdlib>
#include <ctime>

#include "platform/local_zone.h"

namespace platform {

void SetLocalZone(const char* zone) {
    _putenv_s("TZ", zone ? zone : "");
    _tzset();
}

}  // namespace platform
