#pragma once
#include <cstddef>
#include <cstdint>

namespace rtp {

// The host's transport: called once per packet and peer with the peer's IPv4
// address (network order), its port (host order) and whether the packet is RTCP.
// The bytes are valid during the call only.
using SendFunction = void (*)(void* context, uint32_t address, uint16_t port, const uint8_t* data,
                              int32_t length, int32_t isRtcp);

struct PacketSink {
    SendFunction function = nullptr;
    void* context = nullptr;

    void Send(uint32_t address, uint16_t port, const uint8_t* data, size_t length, bool isRtcp) const {
        if (function) function(context, address, port, data, int32_t(length), isRtcp ? 1 : 0);
    }
};

}  // namespace rtp
