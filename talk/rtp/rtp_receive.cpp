#include "talk/rtp/rtp_receive.h"

#include "talk/rtp/receive_stats.h"
#include "talk/rtp/rtp_header.h"

namespace rtp {

std::span<const uint8_t> TakeRtpPacket(RtpSessionState& state, uint32_t address, uint16_t port, uint32_t now,
                                       std::span<const uint8_t> datagram) {
    const auto span = ParseRtp(datagram.data(), datagram.size());
    if (!span) return {};
    const RtpHeader& h = span->header;
    CountRtpPacket(state.sources, {h.ssrc, h.sequence, h.timeStamp, address, port, now});
    return datagram.subspan(span->offset, span->length);
}

}  // namespace rtp
