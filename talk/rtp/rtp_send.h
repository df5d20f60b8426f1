#pragma once
#include <cstddef>
#include <cstdint>

#include "talk/rtp/packet_sink.h"
#include "talk/rtp/rtp_header.h"
#include "talk/rtp/rtp_session_state.h"

namespace rtp {

constexpr uint8_t kVoicePayloadType = 98;
constexpr size_t kMaxFragment = 1024;
constexpr size_t kMaxRtpPacket = kRtpHeaderSize + kMaxFragment;

// Builds the RTP packet around one fragment into out (at least kMaxRtpPacket
// bytes): next sequence number, NtpMiddle32 time stamp, our SSRC, the fragment
// zero-padded to a multiple of 4. Returns its size.
size_t BuildVoicePacket(RtpSessionState& state, const uint8_t* fragment, size_t length, bool marker,
                        uint8_t payloadType, uint8_t* out);

// Hands the packet to every destination in list order, then counts it once.
void SendToDestinations(RtpSessionState& state, const uint8_t* packet, size_t size,
                        const PacketSink& sink);

// Sends one queued block as fragments of at most 1024 bytes; the marker is set
// on a fragment when fewer than 1024 bytes remained before it.
void SendVoice(RtpSessionState& state, const uint8_t* data, size_t length, const PacketSink& sink,
               uint8_t payloadType = kVoicePayloadType);

}  // namespace rtp
