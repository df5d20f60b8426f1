#include "talk/rtp/rtp_send.h"

#include <cstring>

#include "talk/rtp/slot_table.h"

namespace rtp {

size_t BuildVoicePacket(RtpSessionState& state, uint32_t now, std::span<const uint8_t> fragment, bool marker,
                        uint8_t* out) {
    const size_t padded = (fragment.size() + 3) & ~size_t(3);
    state.lastRtpTimeStamp = now;
    WriteRtpHeader(out, {marker, kVoicePayloadType, state.nextSequence++, now, state.ssrc});
    uint8_t* payload = out + kRtpHeaderSize;
    if (!fragment.empty()) std::memcpy(payload, fragment.data(), fragment.size());
    std::memset(payload + fragment.size(), 0, padded - fragment.size());
    const size_t size = kRtpHeaderSize + padded;
    ++state.packetCount;
    state.octetCount += uint32_t(size);
    return size;
}

std::span<const TalkDestination> UsedDestinations(const DestinationTable& destinations) {
    return std::span(destinations).first(LeadingUsed(destinations));
}

}  // namespace rtp
