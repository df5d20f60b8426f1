#include "talk/rtp/rtp_receive.h"

#include "talk/rtp/receive_stats.h"

namespace rtp {

std::optional<ReceivedRtp> TakeRtpPacket(RtpSessionState& state, uint32_t address, uint16_t port, uint32_t now,
                                         std::span<const uint8_t> datagram) {
    const auto span = ParseRtp(datagram.data(), datagram.size());
    if (!span) return std::nullopt;
    const RtpHeader& h = span->header;
    CountRtpPacket(state.sources, {h.ssrc, h.sequence, h.timeStamp, address, port, now});
    return ReceivedRtp{h, datagram.subspan(span->offset, span->length)};
}

}  // namespace rtp
