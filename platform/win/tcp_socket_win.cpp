#include "platform/tcp_socket.h"

#include <winsock2.h>
#include <ws2tcpip.h>

namespace platform {

namespace {

SOCKET Native(std::intptr_t handle) { return static_cast<SOCKET>(handle); }

timeval ToTimeval(Milliseconds timeout) {
    long ms = timeout.count() < 0 ? 0 : static_cast<long>(timeout.count());
    return timeval{ms / 1000, (ms % 1000) * 1000};
}

// Waits until the socket is readable (or writable); false on time-out or error.
bool WaitFor(SOCKET s, bool forWriting, Milliseconds timeout) {
    fd_set ready, failed;
    FD_ZERO(&ready);
    FD_ZERO(&failed);
    FD_SET(s, &ready);
    FD_SET(s, &failed);
    timeval limit = ToTimeval(timeout);
    int count = forWriting ? select(0, nullptr, &ready, &failed, &limit) : select(0, &ready, nullptr, &failed, &limit);
    return count > 0 && FD_ISSET(s, &ready);
}

bool SetNonBlocking(SOCKET s) {
    u_long nonBlocking = 1;
    return ioctlsocket(s, FIONBIO, &nonBlocking) == 0;
}

int ClampedLength(std::size_t length) { return length > 0x7fffffff ? 0x7fffffff : static_cast<int>(length); }

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
    SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    if (s != INVALID_SOCKET) handle_ = static_cast<std::intptr_t>(s);
    return IsOpen();
}

bool TcpSocket::Connect(std::uint32_t address, std::uint16_t port, Milliseconds timeout) {
    SOCKET s = Native(handle_);
    if (!IsOpen() || !SetNonBlocking(s)) return false;
    sockaddr_in peer{};
    peer.sin_family = AF_INET;
    peer.sin_addr.s_addr = address;
    peer.sin_port = htons(port);
    bool connected = connect(s, reinterpret_cast<const sockaddr*>(&peer), sizeof peer) == 0;
    if (!connected && WSAGetLastError() == WSAEWOULDBLOCK && WaitFor(s, true, timeout)) {
        int error = 0;
        int size = sizeof error;
        connected = getsockopt(s, SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&error), &size) == 0 && error == 0;
    }
    // The socket stays non-blocking: every call below waits with select first,
    // so a send can never block beyond its time-out.
    return connected;
}

long TcpSocket::SendSome(const char* data, std::size_t length, Milliseconds timeout) {
    SOCKET s = Native(handle_);
    auto deadline = std::chrono::steady_clock::now() + timeout;
    while (IsOpen()) {
        auto left = std::chrono::duration_cast<Milliseconds>(deadline - std::chrono::steady_clock::now());
        if (!WaitFor(s, true, left)) return -1;
        int sent = send(s, data, ClampedLength(length), 0);
        if (sent > 0) return sent;
        if (sent == 0 || WSAGetLastError() != WSAEWOULDBLOCK) return -1;
    }
    return -1;
}

long TcpSocket::ReceiveSome(char* buffer, std::size_t capacity, Milliseconds timeout) {
    SOCKET s = Native(handle_);
    // Without time to wait, what has arrived is taken (the socket does not block):
    // under Wine, select saw nothing for a moment after a read that left bytes behind.
    if (!IsOpen() || (timeout.count() > 0 && !WaitFor(s, false, timeout))) return -1;
    int received = recv(s, buffer, ClampedLength(capacity), 0);
    return received < 0 ? -1 : received;
}

void TcpSocket::Close() {
    if (!IsOpen()) return;
    closesocket(Native(handle_));
    handle_ = kInvalid;
}

}  // namespace platform
