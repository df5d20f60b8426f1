#include "talk/rtp/rtp_receive.h"

#include "talk/rtp/receive_stats.h"

namespace rtp {
void HandleRtp(RtpSessionState* state, uint32_t address, uint16_t port, const uint8_t* data,
               size_t length) {
    if (!state) return;
    auto span = ParseRtp(data, length);
    if (!span) return;
    RtpPacketInfo info{address, port, span->header.ssrc, span->header.sequence, span->header.timeStamp,
                       span->header.payloadType, span->header.marker};
    PayloadHook hook;
    void* context;
    {
        std::lock_guard guard(state->lock);
        const uint32_t now = NtpMiddle32(state->clock.NowTime());
        CountRtpPacket(state->sources, {info.ssrc, info.sequence, info.timeStamp, address, port, now});
        hook = state->payloadHook;
        context = state->payloadContext;
    }
    if (hook) hook(context, info, data + span->offset, span->length);
}

}  // namespace rtp
