#include <winsock2.h>

#include "platform/udp_socket.h"

namespace platform {
namespace {

class WinUdpSocket final : public UdpSocket {
public:
    explicit WinUdpSocket(SOCKET s) : socket_(s) {}
    ~WinUdpSocket() override { closesocket(socket_); }

    bool SendTo(uint32_t address, uint16_t port, const uint8_t* data, int32_t length) override {
        sockaddr_in to{};
        to.sin_family = AF_INET;
        to.sin_addr.s_addr = address;
        to.sin_port = htons(port);
        return sendto(socket_, reinterpret_cast<const char*>(data), length, 0, reinterpret_cast<sockaddr*>(&to),
                      sizeof to) == length;
    }

    bool Receive(uint8_t* buffer, int32_t capacity, Datagram& from, int timeoutMs) override {
        // Without a time limit the receive itself waits: one call per datagram.
        fd_set readable;
        FD_ZERO(&readable);
        FD_SET(socket_, &readable);
        timeval wait{timeoutMs / 1000, (timeoutMs % 1000) * 1000};
        if (timeoutMs >= 0 && select(0, &readable, nullptr, nullptr, &wait) <= 0) return false;
        sockaddr_in sender{};
        int size = sizeof sender;
        const int n = recvfrom(socket_, reinterpret_cast<char*>(buffer), capacity, 0,
                               reinterpret_cast<sockaddr*>(&sender), &size);
        if (n == SOCKET_ERROR) return false;  // e.g. a port-unreachable report from an earlier send
        from = {sender.sin_addr.s_addr, ntohs(sender.sin_port), n};
        return true;
    }

private:
    SOCKET socket_;
};

}  // namespace

std::unique_ptr<UdpSocket> BindUdp(uint16_t port) {
    const SOCKET s = socket(AF_INET, SOCK_DGRAM, 0);
    if (s == INVALID_SOCKET) return nullptr;
    sockaddr_in local{};
    local.sin_family = AF_INET;
    local.sin_addr.s_addr = htonl(INADDR_ANY);
    local.sin_port = htons(port);
    if (bind(s, reinterpret_cast<sockaddr*>(&local), sizeof local) != 0) {
        closesocket(s);
        return nullptr;
    }
    return std::make_unique<WinUdpSocket>(s);
}

}  // namespace platform
