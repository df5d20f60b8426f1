#pragma once
#include <cstddef>
#include <cstdint>

#include "talk/rtp/rtp_session_state.h"

namespace rtp {

// The RTCP handler: takes SR, RR and BYE packets of a compound into the session
// (SDES is checked but not kept, APP ignored). A null state or a malformed
// datagram is ignored as a whole. The port is the sender's RTCP port, host order.
void HandleRtcp(RtpSessionState* state, uint32_t address, uint16_t port, const uint8_t* data,
                size_t length);

}  // namespace rtp
