#pragma once
#include <array>
#include <cstdint>
#include <optional>
#include <vector>

#include "talk/rtp/receive_streams.h"
#include "talk/rtp/rtp_session_state.h"

namespace rtp {

// What a host shows about one remote sender over the whole talk.
struct SourceReport {
    uint32_t ssrc = 0;
    uint32_t address = 0;  // network order
    uint16_t port = 0;     // host order
    bool departed = false;  // said goodbye
    uint32_t packetsReceived = 0;
    int64_t packetsLost = 0;
    uint32_t extendedHighestSequence = 0;
    uint32_t jitter = 0;  // as kept: 16 x the estimate, in 1/65536 s
    bool roundTripKnown = false;
    uint32_t roundTrip = 0;  // 1/65536 s
    std::optional<StreamCounts> playback;  // none when its frames were never played
};

struct SessionStatistics {
    uint32_t ssrc = 0;
    uint32_t packetsSent = 0;
    uint32_t octetsSent = 0;
    std::array<uint32_t, kRtcpTypeCount> rtcpReceived{};  // SR, RR, SDES, BYE, APP
    std::vector<SourceReport> sources;  // current sources in table order, then departed ones
};

SessionStatistics ReadStatistics(const RtpSessionState& state);

}  // namespace rtp
