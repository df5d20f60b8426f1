#pragma once
#include <cstdint>

#include "talk/rtp/rtp_session_state.h"

namespace rtp {

// One accepted RTP packet as the statistics see it.
struct RtpArrival {
    uint32_t ssrc = 0;
    uint16_t sequence = 0;
    uint32_t timeStamp = 0;
    uint32_t address = 0;  // network order
    uint16_t port = 0;     // host order
    uint32_t now = 0;      // NtpMiddle32 of the arrival
};

// Updates (or creates, at the first empty entry) the sender's statistics.
// With all entries taken by others the packet is not counted.
void CountRtpPacket(SourceTable& sources, const RtpArrival& arrival);

// The entry for ssrc, or null.
SourceStats* FindSource(SourceTable& sources, uint32_t ssrc);

}  // namespace rtp
