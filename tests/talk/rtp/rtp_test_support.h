#pragma once
#include <cstdint>
#include <vector>

#include "platform/clock.h"
#include "talk/talk_session.h"

namespace rtp::test {

// A clock the test moves by hand.
class FakeClock final : public platform::Clock {
public:
    uint64_t monotonic = 5'000'000;
    platform::WallTime wall{1'700'000'000, 250'000};
    uint64_t MonotonicMicros() override { return monotonic; }
    platform::WallTime WallNow() override { return wall; }
    void Advance(uint64_t micros) { monotonic += micros; }
};

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
