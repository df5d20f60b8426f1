#pragma once
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "common/byte_order.h"
#include "talk/rtp/rtcp_parse.h"
#include "talk/rtp/rtcp_send.h"
#include "talk/rtp/rtp_receive.h"
#include "talk/rtp/session_statistics.h"
#include "tests/support/rtp_packets.h"

namespace rtp::fuzz {

constexpr uint32_t kPeerAddress = 0x0200000A;  // 10.0.0.2
constexpr platform::WallTime kStart{1'700'000'000, 123'456};

// A talk that already knows three sources, all at the peer's address, and sends
// to two destinations there, so that reports and BYE have work to do.
inline RtpSessionState MakeState() {
    RtpSessionState state = CreateState(40000, 1, "fuzz@host");
    AddDestination(state, kPeerAddress, 50000);
    AddDestination(state, kPeerAddress, 50002);
    for (uint32_t ssrc = 1; ssrc <= 3; ++ssrc)
        TakeRtpPacket(state, kPeerAddress, 50000, NtpMiddle32(kStart), support::VoicePacket(ssrc, 0));
    return state;
}

// The input is a series of datagrams, each preceded by a 16-bit big-endian length.
// Each is copied to a buffer of exactly its size, so any read beyond it is caught.
// Arrival times move on by 7 ms per datagram, so delays and jitter vary.
template <typename Handle>
void ForEachDatagram(const uint8_t* data, size_t size, Handle handle) {
    uint32_t now = NtpMiddle32(kStart);
    while (size >= 2) {
        size_t length = common::GetBe16(data);
        data += 2;
        size -= 2;
        if (length > size) length = size;
        std::vector<uint8_t> datagram(data, data + length);
        now += 459;  // 7 ms in 1/65536 s
        handle(std::span<const uint8_t>(datagram), now);
        data += length;
        size -= length;
    }
}

inline void Check(bool condition) {
    if (!condition) std::abort();
}

// Whatever the peer sent, the state stays consistent and what it sends parses.
inline void CheckState(const RtpSessionState& state) {
    for (const auto& compound : {BuildSrCompound(state, kStart), BuildRrCompound(state, kStart), BuildByePacket(state)})
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
