#pragma once
#include <cstdint>
#include <vector>

#include "platform/clock.h"
#include "talk/rtp/rtp_session_state.h"

namespace rtp {

// The compounds sent every 1001 ticks, as of `now`.
std::vector<uint8_t> BuildSrCompound(const RtpSessionState& state, platform::WallTime now);  // SR + SDES
std::vector<uint8_t> BuildRrCompound(const RtpSessionState& state, platform::WallTime now);  // RR + SDES
// The goodbye at the end of a talk.
std::vector<uint8_t> BuildByePacket(const RtpSessionState& state);

// Where RTCP goes: port + 1 of each used source entry, in table order, then of
// each destination that no source entry with the same address and port already served.
std::vector<TalkDestination> ReportTargets(const RtpSessionState& state);

}  // namespace rtp
