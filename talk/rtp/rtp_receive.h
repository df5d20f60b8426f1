#pragma once
#include <cstdint>
#include <optional>
#include <span>

#include "talk/rtp/rtp_header.h"

#include "talk/rtp/rtp_session_state.h"

namespace rtp {

// An accepted RTP packet: its header and where its payload lies in the datagram.
struct ReceivedRtp {
    RtpHeader header;
    std::span<const uint8_t> payload;
};

// Takes one RTP datagram into the state: a packet whose header checks out
// (see ParseRtp) is counted in its sender's statistics and returned; anything
// else changes nothing and gives nothing. `now` is NtpMiddle32 of the arrival;
// the port is the sender's and is stored as given.
std::optional<ReceivedRtp> TakeRtpPacket(RtpSessionState& state, uint32_t address, uint16_t port, uint32_t now,
                                         std::span<const uint8_t> datagram);

}  // namespace rtp
