#include "talk/rtp/session_statistics.h"

namespace rtp {
namespace {

SourceReport ReportOf(const SourceStats& s, bool departed) {
    SourceReport r;
    r.ssrc = s.ssrc;
    r.address = s.address;
    r.port = s.port;
    r.departed = departed;
    r.packetsReceived = s.totalReceived;
    r.packetsLost = s.totalLost;
    r.extendedHighestSequence = s.cycles << 16 | s.highestSequence;
    r.jitter = s.jitter;
    r.roundTripKnown = s.roundTripSeen;
    r.roundTrip = s.roundTrip;
    return r;
}

}  // namespace

SessionStatistics ReadStatistics(const RtpSessionState& state) {
    SessionStatistics stats;
    stats.ssrc = state.ssrc;
    stats.packetsSent = state.packetCount;
    stats.octetsSent = state.octetCount;
    stats.rtcpReceived = state.rtcpReceived;
    for (const SourceStats& s : state.sources) {
        if (s.Used()) stats.sources.push_back(ReportOf(s, false));
    }
    for (const SourceStats& s : state.departed) stats.sources.push_back(ReportOf(s, true));
    return stats;
}

}  // namespace rtp
