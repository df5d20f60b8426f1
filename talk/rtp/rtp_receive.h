#pragma once
#include <cstddef>
#include <cstdint>
#include <optional>

#include "talk/rtp/rtp_header.h"
#include "talk/rtp/rtp_session_state.h"

namespace rtp {

// What the receive path learns about an accepted RTP packet.
struct RtpPacketInfo {
    uint32_t address = 0;  // sender, network order
    uint16_t port = 0;     // sender, host order
    uint32_t ssrc = 0;
    uint16_t sequence = 0;
    uint32_t timeStamp = 0;
    uint8_t payloadType = 0;
    bool marker = false;
};

// The RTP handler: counts the packet in the sender's statistics and hands its
// payload to the payload hook. A null state or a malformed datagram is ignored.
// The port is the sender's, in host order, and is stored as given.
void HandleRtp(RtpSessionState* state, uint32_t address, uint16_t port, const uint8_t* data,
               size_t length);

}  // namespace rtp
