#include "platform/socket_library.h"

namespace platform {

// POSIX sockets need no start-up.
bool StartSocketLibrary() { return true; }
void StopSocketLibrary() {}

}  // namespace platform
