#pragma once
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <vector>

#include "common/byte_order.h"
#include "talk/rtp/rtcp_parse.h"
#include "talk/rtp/rtcp_receive.h"
#include "talk/rtp/rtcp_send.h"
#include "talk/rtp/rtp_receive.h"
#include "talk/rtp/session_statistics.h"

namespace rtp::fuzz {

// A clock that moves 7 ms per reading, so arrival times and delays vary.
class SteppingClock final : public platform::Clock {
public:
    uint64_t MonotonicMicros() override { return now_ += 7000; }
    platform::WallTime WallNow() override { return {1'700'000'000, 123'456}; }

private:
    uint64_t now_ = 0;
};

constexpr uint32_t kPeerAddress = 0x0200000A;  // 10.0.0.2

// A session that already knows three sources, all at the peer's address, and
// sends to two destinations there, so that reports and BYE have work to do.
inline std::unique_ptr<RtpSessionState> MakeSession(platform::Clock& clock) {
    auto state = CreateState(40000, clock, 1, "fuzz@host");
    AddDestination(*state, kPeerAddress, 50000);
    AddDestination(*state, kPeerAddress, 50002);
    for (uint32_t ssrc = 1; ssrc <= 3; ++ssrc) {
        std::vector<uint8_t> p(40, 0);
        p[0] = 0x80;
        p[1] = 0xE2;
        common::PutBe32(&p[8], ssrc);
        HandleRtp(state.get(), kPeerAddress, 50000, p.data(), p.size());
    }
    return state;
}

// The input is a series of datagrams, each preceded by a 16-bit big-endian length.
// Each is copied to a buffer of exactly its size, so any read beyond it is caught.
template <typename Handle>
void ForEachDatagram(const uint8_t* data, size_t size, Handle handle) {
    while (size >= 2) {
        size_t length = common::GetBe16(data);
        data += 2;
        size -= 2;
        if (length > size) length = size;
        std::vector<uint8_t> datagram(data, data + length);
        handle(datagram.data(), datagram.size());
        data += length;
        size -= length;
    }
}

inline void Check(bool condition) {
    if (!condition) std::abort();
}

// Whatever the peer sent, the session stays consistent and what it sends parses.
inline void CheckSession(RtpSessionState& state) {
    for (const auto& compound : {BuildSrCompound(state), BuildRrCompound(state), BuildByePacket(state)})
        Check(ValidRtcpCompound(compound.data(), compound.size()));
    bool hole = false;
    for (const SourceStats& s : state.sources) {
        Check(!(hole && s.Used()));
        hole = hole || !s.Used();
    }
    hole = false;
    for (const TalkDestination& d : state.destinations) {
        Check(!(hole && d.Used()));
        hole = hole || !d.Used();
    }
    Check(ReadStatistics(state).sources.size() <= 2 * kMaxSources);
}

}  // namespace rtp::fuzz
