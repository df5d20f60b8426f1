#pragma once
#include <cstddef>
#include <cstdint>
#include <span>

#include "talk/rtp/rtp_header.h"
#include "talk/rtp/rtp_session_state.h"

namespace rtp {

constexpr uint8_t kVoicePayloadType = 98;
constexpr size_t kMaxFragment = 1024;
constexpr size_t kMaxRtpPacket = kRtpHeaderSize + kMaxFragment;

// Builds the RTP packet around one fragment into out (at least kMaxRtpPacket
// bytes) and counts it once: next sequence number, time stamp `now` (NtpMiddle32),
// our SSRC, the fragment zero-padded to a multiple of 4. Returns its size.
size_t BuildVoicePacket(RtpSessionState& state, uint32_t now, std::span<const uint8_t> fragment, bool marker,
                        uint8_t* out);

// The destinations in list order, up to the first empty slot.
std::span<const TalkDestination> UsedDestinations(const DestinationTable& destinations);

}  // namespace rtp
