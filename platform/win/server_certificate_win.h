#pragma once
// Windows only: our own check of a TLS server's certificate through the
// system's chain engine, since Schannel's own checks cannot be relied on
// (under Wine it checks nothing at all).
#include <string>

#include <windows.h>
#include <wincrypt.h>

namespace platform {

// Whether the certificate chains to a root of the system's store for server
// authentication and is valid for `serverName` (a dotted IPv4 address against
// its IP address entries).
bool IsTrustedServerCertificate(PCCERT_CONTEXT certificate, const std::string& serverName);

}  // namespace platform
