#include <cstdlib>
#include <ctime>

#include "tests/mail/support/local_zone.h"

namespace mailtest {

void SetLocalZone(const char* zone) {
    _putenv_s("TZ", zone ? zone : "");
    _tzset();
}

}  // namespace mailtest
