#pragma once
#include <cstdint>
#include <span>

#include "talk/rtp/rtp_session_state.h"

namespace rtp {

// Takes one RTP datagram into the state: a packet whose header checks out
// (see ParseRtp) is counted in its sender's statistics, and its payload returned;
// anything else changes nothing and gives an empty payload. `now` is NtpMiddle32
// of the arrival; the port is the sender's and is stored as given.
std::span<const uint8_t> TakeRtpPacket(RtpSessionState& state, uint32_t address, uint16_t port, uint32_t now,
                                       std::span<const uint8_t> datagram);

}  // namespace rtp
