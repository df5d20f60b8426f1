#pragma once
#include <string>

namespace platform {

// The current user's login name in UTF-8; empty when unknown.
std::string LoginNameUtf8();
// The machine's host name as the socket library reports it; empty when unknown.
std::string HostName();

}  // namespace platform
