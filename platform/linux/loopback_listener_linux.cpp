#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include "platform/loopback_listener.h"

namespace platform {

namespace {

bool Ready(int fd, short events, Milliseconds timeout) {
    pollfd entry{fd, events, 0};
    return poll(&entry, 1, static_cast<int>(timeout.count())) > 0;
}

}  // namespace

LoopbackConnection::~LoopbackConnection() { close(static_cast<int>(handle_)); }

bool LoopbackConnection::Send(std::string_view data) {
    while (!data.empty()) {
        ssize_t sent = send(static_cast<int>(handle_), data.data(), data.size(), MSG_NOSIGNAL);
        if (sent <= 0) return false;
        data.remove_prefix(static_cast<std::size_t>(sent));
    }
    return true;
}

long LoopbackConnection::Receive(char* buffer, std::size_t capacity, Milliseconds timeout) {
    int fd = static_cast<int>(handle_);
    if (!Ready(fd, POLLIN, timeout)) return -1;
    return static_cast<long>(recv(fd, buffer, capacity, 0));
}

void LoopbackConnection::ShutdownSending() { shutdown(static_cast<int>(handle_), SHUT_WR); }

LoopbackListener::LoopbackListener(int backlog) {
    int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof address;
    if (bind(fd, reinterpret_cast<sockaddr*>(&address), size) == 0 && listen(fd, backlog) == 0 &&
        getsockname(fd, reinterpret_cast<sockaddr*>(&address), &size) == 0) {
        handle_ = fd;
        port_ = ntohs(address.sin_port);
    } else {
        close(fd);
    }
}

LoopbackListener::~LoopbackListener() { Close(); }

void LoopbackListener::Close() {
    if (handle_ >= 0) close(static_cast<int>(handle_));
    handle_ = -1;
}

std::unique_ptr<LoopbackConnection> LoopbackListener::Accept(Milliseconds timeout) {
    int fd = static_cast<int>(handle_);
    if (handle_ < 0 || !Ready(fd, POLLIN, timeout)) return nullptr;
    int accepted = accept(fd, nullptr, nullptr);
    return accepted < 0 ? nullptr : std::make_unique<LoopbackConnection>(accepted);
}

}  // namespace platform
