#pragma once
#include <cstdint>
#include <vector>

#include "platform/clock.h"
#include "talk/rtp/packet_sink.h"

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
struct RecordingSink {
    std::vector<SentPacket> packets;
    PacketSink Sink() { return {&RecordingSink::Record, this}; }
    static void Record(void* context, uint32_t address, uint16_t port, const uint8_t* data, int32_t length,
                       int32_t isRtcp) {
        static_cast<RecordingSink*>(context)->packets.push_back(
            {address, port, std::vector<uint8_t>(data, data + length), isRtcp != 0});
    }
};

}  // namespace rtp::test
