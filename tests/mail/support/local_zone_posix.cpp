#include <cstdlib>
#include <ctime>

#include "tests/mail/support/local_zone.h"

namespace mailtest {

void SetLocalZone(const char* zone) {
    zone ? setenv("TZ", zone, 1) : unsetenv("TZ");
    tzset();
}

}  // namespace mailtest
