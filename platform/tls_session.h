#pragma once
// A TLS client session over a connected TcpSocket, with the platform's own TLS
// (OpenSSL on Linux, Schannel on Windows). The server's certificate chain is
// checked against the system's trust store and against the server's name, a
// dotted IPv4 address against the certificate's IP address entries, before the
// session is handed out: nothing of the caller's is sent to a server that fails.
#include <cstddef>
#include <memory>
#include <string>

#include "platform/tcp_socket.h"

namespace platform {

class TlsSession {
public:
    // Tells the server the session ends (close_notify), where that can go out at once.
    virtual ~TlsSession() = default;
    // As TcpSocket's: bytes taken (at least 1), or -1 on an error or when
    // nothing could be sent in time.
    virtual long SendSome(const char* data, std::size_t length, Milliseconds timeout) = 0;
    // Bytes received, 0 when the server ended the session or the connection,
    // -1 on an error or when nothing arrived in time.
    virtual long ReceiveSome(char* buffer, std::size_t capacity, Milliseconds timeout) = 0;
};

// The handshake over `socket` (TLS 1.2 at least, 1.3 where the platform offers
// it; a host name is sent as SNI) and the check of the server's certificate.
// Null when either fails or does not finish within `timeout`. The session
// reads and writes `socket`, which must outlive it.
std::unique_ptr<TlsSession> StartTlsSession(TcpSocket& socket, const std::string& serverName, Milliseconds timeout);

}  // namespace platform

namespace platform {

// Frees what the platform's TLS keeps for the calling thread (OpenSSL's error
// queue and the like), for a thread that is done with its sessions.
void ReleaseTlsThreadState();

}  // namespace platform
