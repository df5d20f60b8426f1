#include "platform/tcp_socket.h"

#include <arpa/inet.h>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace platform {

namespace {

int PollTimeout(Milliseconds timeout) { return timeout.count() < 0 ? 0 : static_cast<int>(timeout.count()); }

// Waits until the socket is ready for `events`; false on time-out or error.
bool WaitFor(int fd, short events, Milliseconds timeout) {
    pollfd entry{fd, events, 0};
    for (;;) {
        int ready = poll(&entry, 1, PollTimeout(timeout));
        if (ready > 0) return true;
        if (ready == 0 || errno != EINTR) return false;
    }
}

bool SetBlocking(int fd, bool blocking) {
    int flags = fcntl(fd, F_GETFL, 0);
    if (flags < 0) return false;
    flags = blocking ? (flags & ~O_NONBLOCK) : (flags | O_NONBLOCK);
    return fcntl(fd, F_SETFL, flags) == 0;
}

}  // namespace

int ResolveAddress(const char* name, std::uint32_t& address) {
    address = 0;
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    if (getaddrinfo(name, nullptr, &hints, &found) != 0 || !found) return -1;
    address = reinterpret_cast<const sockaddr_in*>(found->ai_addr)->sin_addr.s_addr;
    freeaddrinfo(found);
    return 0;
}

bool TcpSocket::Open() {
    Close();
    handle_ = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, IPPROTO_TCP);
    return IsOpen();
}

bool TcpSocket::Connect(std::uint32_t address, std::uint16_t port, Milliseconds timeout) {
    int fd = static_cast<int>(handle_);
    if (!IsOpen() || !SetBlocking(fd, false)) return false;
    sockaddr_in peer{};
    peer.sin_family = AF_INET;
    peer.sin_addr.s_addr = address;
    peer.sin_port = htons(port);
    bool connected = connect(fd, reinterpret_cast<const sockaddr*>(&peer), sizeof peer) == 0;
    if (!connected && errno == EINPROGRESS && WaitFor(fd, POLLOUT, timeout)) {
        int error = 0;
        socklen_t size = sizeof error;
        connected = getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &size) == 0 && error == 0;
    }
    return SetBlocking(fd, true) && connected;
}

long TcpSocket::SendSome(const char* data, std::size_t length, Milliseconds timeout) {
    int fd = static_cast<int>(handle_);
    auto deadline = std::chrono::steady_clock::now() + timeout;
    while (IsOpen()) {
        auto left = std::chrono::duration_cast<Milliseconds>(deadline - std::chrono::steady_clock::now());
        if (!WaitFor(fd, POLLOUT, left)) return -1;
        // A peer that has gone must give an error here, not a signal.
        ssize_t sent = send(fd, data, length, MSG_NOSIGNAL | MSG_DONTWAIT);
        if (sent > 0) return static_cast<long>(sent);
        if (sent == 0 || (errno != EINTR && errno != EAGAIN && errno != EWOULDBLOCK)) return -1;
    }
    return -1;
}

long TcpSocket::ReceiveSome(char* buffer, std::size_t capacity, Milliseconds timeout) {
    int fd = static_cast<int>(handle_);
    bool waits = timeout.count() > 0;
    if (!IsOpen() || (waits && !WaitFor(fd, POLLIN, timeout))) return -1;
    ssize_t received;
    do {
        received = recv(fd, buffer, capacity, waits ? 0 : MSG_DONTWAIT);
    } while (received < 0 && errno == EINTR);
    return static_cast<long>(received);
}

void TcpSocket::Close() {
    if (!IsOpen()) return;
    close(static_cast<int>(handle_));
    handle_ = kInvalid;
}

}  // namespace platform
