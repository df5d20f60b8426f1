#pragma once
// The byte stream an SMTP dialogue runs over: a TCP connection to the server,
// with TLS over it once asked for, or, in tests, a peer whose every reply and
// its pieces are scripted. The dialogue does not see whether TLS is on.
#include <cstddef>
#include <memory>
#include <string>

#include "platform/tcp_socket.h"

namespace ziromail {

class SmtpChannel {
public:
    virtual ~SmtpChannel() = default;
    // Connects to the server: false when the name does not resolve or the
    // connection is not made within `timeout`.
    virtual bool Open(const std::string& server, int port, platform::Milliseconds timeout) = 0;
    // Bytes sent (at least 1), or -1 on an error or when nothing could be sent in time.
    virtual long SendSome(const char* data, std::size_t length, platform::Milliseconds timeout) = 0;
    // Bytes received, 0 when the peer closed, -1 on an error or when nothing arrived in time.
    virtual long ReceiveSome(char* buffer, std::size_t capacity, platform::Milliseconds timeout) = 0;
    // Puts TLS on the open connection: the handshake and the check of the
    // server's certificate against the system's trust store and `server`. On
    // false (any failure, or no end within `timeout`) the channel sends and
    // receives nothing more.
    virtual bool StartTls(const std::string& server, platform::Milliseconds timeout) = 0;
};

// TCP over the system's sockets; the connection closes with the channel.
std::unique_ptr<SmtpChannel> MakeTcpChannel();

}  // namespace ziromail
