#pragma once
#include <cstdint>
#include <span>
#include <vector>

#include "talk/rtp/rtp_session_state.h"

namespace rtp {

// Takes a compound RTCP datagram into the state: SR, RR and BYE packets are kept
// (SDES is checked but not kept, APP ignored). A malformed datagram is dropped
// whole, before anything changes. `now` is NtpMiddle32 of the arrival; the port
// is the sender's RTCP port, host order. Returns the SSRCs that said goodbye.
std::vector<uint32_t> TakeRtcpCompound(RtpSessionState& state, uint32_t address, uint16_t port, uint32_t now,
                                       std::span<const uint8_t> datagram);

}  // namespace rtp
