#include "talk/rtp/rtp_send.h"

#include <array>
#include <cstring>

#include "common/byte_order.h"
#include "talk/rtp/slot_table.h"

namespace rtp {

size_t BuildVoicePacket(RtpSessionState& state, const uint8_t* fragment, size_t length, bool marker,
                        uint8_t payloadType, uint8_t* out) {
    const size_t padded = (length + 3) & ~size_t(3);
    std::lock_guard guard(state.lock);
    state.lastRtpTimeStamp = NtpMiddle32(state.clock.NowTime());
    out[0] = 0x80;
    out[1] = uint8_t((marker ? 0x80 : 0) | (payloadType & 0x7F));
    common::PutBe16(out + 2, state.nextSequence++);
    common::PutBe32(out + 4, state.lastRtpTimeStamp);
    common::PutBe32(out + 8, state.ssrc);
    if (length) std::memcpy(out + 12, fragment, length);
    std::memset(out + 12 + length, 0, padded - length);
    return 12 + padded;
}

void SendToDestinations(RtpSessionState& state, const uint8_t* packet, size_t size,
                        const PacketSink& sink) {
    std::array<TalkDestination, kMaxDestinations> targets;
    size_t count;
    {
        std::lock_guard guard(state.lock);
        targets = state.destinations;
        count = LeadingUsed(targets);
    }
    // The callback may call back into the session, so it runs without the lock.
    for (size_t i = 0; i < count; ++i) sink.Send(targets[i].address, targets[i].port, packet, size, false);
    std::lock_guard guard(state.lock);
    ++state.packetCount;
    state.octetCount += uint32_t(size);
}

void SendVoice(RtpSessionState& state, const uint8_t* data, size_t length, const PacketSink& sink,
               uint8_t payloadType) {
    std::array<uint8_t, kMaxRtpPacket> packet;
    for (size_t sent = 0; sent < length;) {
        const size_t remaining = length - sent;
        const size_t fragment = remaining < kMaxFragment ? remaining : kMaxFragment;
        const size_t size =
            BuildVoicePacket(state, data + sent, fragment, remaining < kMaxFragment, payloadType, packet.data());
        SendToDestinations(state, packet.data(), size, sink);
        sent += fragment;
    }
}

}  // namespace rtp
