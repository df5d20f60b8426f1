#include <winsock2.h>

#include "platform/socket_library.h"
#include "platform/loopback_listener.h"

namespace platform {

namespace {

SOCKET Native(std::intptr_t handle) { return static_cast<SOCKET>(handle); }

bool Readable(SOCKET s, Milliseconds timeout) {
    fd_set ready;
    FD_ZERO(&ready);
    FD_SET(s, &ready);
    long ms = static_cast<long>(timeout.count());
    timeval limit{ms / 1000, (ms % 1000) * 1000};
    return select(0, &ready, nullptr, nullptr, &limit) > 0;
}

}  // namespace

LoopbackConnection::~LoopbackConnection() { closesocket(Native(handle_)); }

bool LoopbackConnection::Send(std::string_view data) {
    while (!data.empty()) {
        int sent = send(Native(handle_), data.data(), static_cast<int>(data.size()), 0);
        if (sent <= 0) return false;
        data.remove_prefix(static_cast<std::size_t>(sent));
    }
    return true;
}

long LoopbackConnection::Receive(char* buffer, std::size_t capacity, Milliseconds timeout) {
    if (!Readable(Native(handle_), timeout)) return -1;
    return recv(Native(handle_), buffer, static_cast<int>(capacity), 0);
}

void LoopbackConnection::ShutdownSending() { shutdown(Native(handle_), SD_SEND); }

LoopbackListener::LoopbackListener(int backlog) {
    platform::StartSocketLibrary();
    SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    int size = sizeof address;
    if (bind(s, reinterpret_cast<sockaddr*>(&address), size) == 0 && listen(s, backlog) == 0 &&
        getsockname(s, reinterpret_cast<sockaddr*>(&address), &size) == 0) {
        handle_ = static_cast<std::intptr_t>(s);
        port_ = ntohs(address.sin_port);
    } else {
        closesocket(s);
    }
}

LoopbackListener::~LoopbackListener() {
    Close();
    platform::StopSocketLibrary();
}

void LoopbackListener::Close() {
    if (handle_ != -1) closesocket(Native(handle_));
    handle_ = -1;
}

std::unique_ptr<LoopbackConnection> LoopbackListener::Accept(Milliseconds timeout) {
    if (handle_ == -1 || !Readable(Native(handle_), timeout)) return nullptr;
    SOCKET accepted = accept(Native(handle_), nullptr, nullptr);
    return accepted == INVALID_SOCKET ? nullptr : std::make_unique<LoopbackConnection>(static_cast<std::intptr_t>(accepted));
}

}  // namespace platform
