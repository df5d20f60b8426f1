#pragma once
#include <cstdint>
#include <vector>

#include "talk/rtp/packet_sink.h"
#include "talk/rtp/rtp_session_state.h"

namespace rtp {

// Compounds as the send thread sends them every 1001 ticks.
std::vector<uint8_t> BuildSrCompound(RtpSessionState& state);  // SR + SDES
std::vector<uint8_t> BuildRrCompound(RtpSessionState& state);  // RR + SDES
std::vector<uint8_t> BuildByePacket(const RtpSessionState& state);

// Hands an RTCP packet to port + 1 of each used source entry, in table order,
// then of each destination that no source entry with the same address and port
// already served.
void SendReports(RtpSessionState& state, const std::vector<uint8_t>& compound, const PacketSink& sink);

// The periodic reports: SR + SDES, then RR + SDES.
void SendPeriodicReports(RtpSessionState& state, const PacketSink& sink);
// The goodbye at the end of a talk.
void SendBye(RtpSessionState& state, const PacketSink& sink);

}  // namespace rtp
