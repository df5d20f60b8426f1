#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include "platform/udp_socket.h"

namespace platform {
namespace {

class PosixUdpSocket final : public UdpSocket {
public:
    explicit PosixUdpSocket(int fd) : fd_(fd) {}
    ~PosixUdpSocket() override { close(fd_); }

    bool SendTo(uint32_t address, uint16_t port, const uint8_t* data, int32_t length) override {
        sockaddr_in to{};
        to.sin_family = AF_INET;
        to.sin_addr.s_addr = address;
        to.sin_port = htons(port);
        return sendto(fd_, data, size_t(length), 0, reinterpret_cast<sockaddr*>(&to), sizeof to) == length;
    }

    bool Receive(uint8_t* buffer, int32_t capacity, Datagram& from, int timeoutMs) override {
        // Without a time limit the receive itself waits: one call per datagram.
        pollfd p{fd_, POLLIN, 0};
        if (timeoutMs >= 0 && poll(&p, 1, timeoutMs) <= 0) return false;
        sockaddr_in sender{};
        socklen_t size = sizeof sender;
        const ssize_t n = recvfrom(fd_, buffer, size_t(capacity), 0, reinterpret_cast<sockaddr*>(&sender), &size);
        if (n < 0) return false;
        from = {sender.sin_addr.s_addr, ntohs(sender.sin_port), int32_t(n)};
        return true;
    }

private:
    int fd_;
};

}  // namespace

std::unique_ptr<UdpSocket> BindUdp(uint16_t port) {
    const int fd = socket(AF_INET, SOCK_DGRAM, 0);
    if (fd < 0) return nullptr;
    sockaddr_in local{};
    local.sin_family = AF_INET;
    local.sin_addr.s_addr = htonl(INADDR_ANY);
    local.sin_port = htons(port);
    if (bind(fd, reinterpret_cast<sockaddr*>(&local), sizeof local) != 0) {
        close(fd);
        return nullptr;
    }
    return std::make_unique<PosixUdpSocket>(fd);
}

}  // namespace platform
