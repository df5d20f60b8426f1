#pragma once
// The server side of a local peer, as tests run one: a listening socket on 127.0.0.1 and its connections.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>

#include "platform/tcp_socket.h"

namespace platform {

class LoopbackConnection {
public:
    explicit LoopbackConnection(std::intptr_t handle) : handle_(handle) {}
    ~LoopbackConnection();
    LoopbackConnection(const LoopbackConnection&) = delete;
    LoopbackConnection& operator=(const LoopbackConnection&) = delete;

    bool Send(std::string_view data);
    // Bytes received, 0 when the peer closed, -1 on an error or time-out.
    long Receive(char* buffer, std::size_t capacity, Milliseconds timeout);
    // Ends our direction only: the peer reads end of stream, we can still read.
    void ShutdownSending();

private:
    std::intptr_t handle_;
};

class LoopbackListener {
public:
    // `backlog`: connections the system completes before accept (0 keeps it minimal).
    explicit LoopbackListener(int backlog = 8);
    ~LoopbackListener();
    LoopbackListener(const LoopbackListener&) = delete;
    LoopbackListener& operator=(const LoopbackListener&) = delete;

    std::uint16_t Port() const { return port_; }
    // The next connection, or null when none came in time.
    std::unique_ptr<LoopbackConnection> Accept(Milliseconds timeout);
    void Close();

private:
    std::intptr_t handle_ = -1;
    std::uint16_t port_ = 0;
};

}  // namespace platform
