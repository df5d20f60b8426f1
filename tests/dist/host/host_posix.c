#define _POSIX_C_SOURCE 200809L
#include <time.h>

#include "host_platform.h"

void HostSleep(int milliseconds) {
    const struct timespec pause = {milliseconds / 1000, (long)(milliseconds % 1000) * 1000000L};
    nanosleep(&pause, NULL);
}

/* Linux has no Lumvox library; the SONAMEs are checked by the test script. */
int PlatformChecks(const char* version) {
    (void)version;
    return 1;
}
