/* What the host does differently on each platform. */
#ifndef HOST_PLATFORM_H
#define HOST_PLATFORM_H

void HostSleep(int milliseconds);
/* The platform's own checks; nonzero when they pass. */
int PlatformChecks(const char* version);

#endif
