#pragma once
// UDP over IPv4 for host programs: a socket bound to one local port.
#include <cstdint>
#include <memory>

namespace platform {

struct Datagram {
    uint32_t address = 0;  // sender, network order
    uint16_t port = 0;     // sender, host order
    int32_t length = 0;
};

// A UDP socket bound to a local port on all interfaces.
class UdpSocket {
public:
    virtual ~UdpSocket() = default;
    virtual bool SendTo(uint32_t address, uint16_t port, const uint8_t* data, int32_t length) = 0;
    // Waits up to timeoutMs for a datagram (without end when negative); false
    // when none came or the receive failed.
    virtual bool Receive(uint8_t* buffer, int32_t capacity, Datagram& from, int timeoutMs) = 0;
};

// Null when the port cannot be bound.
std::unique_ptr<UdpSocket> BindUdp(uint16_t port);

}  // namespace platform
