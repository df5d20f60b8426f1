#include "talk/rtp/rtp_receive.h"

#include "common/byte_order.h"
#include "talk/rtp/receive_stats.h"

namespace rtp {
namespace {

// Header length after the contributing sources and any extension; null if it overruns.
std::optional<size_t> HeaderLength(const uint8_t* data, size_t length) {
    size_t header = kRtpHeaderSize + 4 * size_t(data[0] & 0x0F);
    if (data[0] & 0x10) {
        if (header + 4 > length) return std::nullopt;
        header += 4 + 4 * size_t(common::GetBe16(data + header + 2));
    }
    if (header > length) return std::nullopt;
    return header;
}

}  // namespace

std::optional<RtpPayloadSpan> ParseRtp(const uint8_t* data, size_t length) {
    if (!data || length < kMinRtpDatagram || !(data[0] & 0x80)) return std::nullopt;
    const auto header = HeaderLength(data, length);
    if (!header) return std::nullopt;
    size_t payload = length - *header;
    if (data[0] & 0x20) {
        const size_t padding = data[length - 1];
        if (padding > payload) return std::nullopt;
        payload -= padding;
    }
    RtpPayloadSpan span;
    span.info.marker = (data[1] & 0x80) != 0;
    span.info.payloadType = data[1] & 0x7F;
    span.info.sequence = common::GetBe16(data + 2);
    span.info.timeStamp = common::GetBe32(data + 4);
    span.info.ssrc = common::GetBe32(data + 8);
    span.offset = *header;
    span.length = payload;
    return span;
}

void HandleRtp(RtpSessionState* state, uint32_t address, uint16_t port, const uint8_t* data,
               size_t length) {
    if (!state) return;
    auto span = ParseRtp(data, length);
    if (!span) return;
    span->info.address = address;
    span->info.port = port;
    PayloadHook hook;
    void* context;
    {
        std::lock_guard guard(state->lock);
        const uint32_t now = NtpMiddle32(state->clock.NowTime());
        CountRtpPacket(state->sources,
                       {span->info.ssrc, span->info.sequence, span->info.timeStamp, address, port, now});
        hook = state->payloadHook;
        context = state->payloadContext;
    }
    if (hook) hook(context, span->info, data + span->offset, span->length);
}

}  // namespace rtp
