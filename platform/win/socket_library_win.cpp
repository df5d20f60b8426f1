#include "platform/socket_library.h"

#include <winsock2.h>

namespace platform {

bool StartSocketLibrary() {
    WSADATA data;
    return WSAStartup(0x0202, &data) == 0;
}

void StopSocketLibrary() { WSACleanup(); }

}  // namespace platform
