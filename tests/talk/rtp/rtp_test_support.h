#pragma once
#include <cstdint>
#include <vector>

#include "talk/talk_session.h"

namespace rtp::test {

struct SentPacket {
    uint32_t address;
    uint16_t port;
    std::vector<uint8_t> bytes;
    bool isRtcp;
};

// Records every packet handed to the host.
struct RecordingSender {
    std::vector<SentPacket> packets;
    PacketSender Sender() {
        return [this](uint32_t address, uint16_t port, std::span<const uint8_t> packet, bool isRtcp) {
            packets.push_back({address, port, {packet.begin(), packet.end()}, isRtcp});
        };
    }
};

}  // namespace rtp::test
