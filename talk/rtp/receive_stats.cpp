#include "talk/rtp/receive_stats.h"

namespace rtp {
namespace {

constexpr uint32_t kRecentWindow = 32;  // sequence numbers remembered below the highest

// Interval counters may be driven far by a hostile peer; they wrap rather than overflow.
void AddWrapping(int32_t& counter, uint32_t amount) { counter = int32_t(uint32_t(counter) + amount); }

void StartSequence(SourceStats& s, const RtpArrival& a) {
    s.rtpSeen = true;
    s.highestSequence = a.sequence;
    s.lastRtpTimeStamp = a.timeStamp;
    s.lastArrival = a.now;
    s.received = 1;
    s.lost = 0;
    s.expected = 1;
    s.recentMask = 1;
    ++s.totalReceived;
}

uint32_t TransitDifference(const SourceStats& s, const RtpArrival& a) {
    const uint32_t d = (a.now - s.lastArrival) - (a.timeStamp - s.lastRtpTimeStamp);
    return int32_t(d) < 0 ? 0u - d : d;
}

void CountForward(SourceStats& s, const RtpArrival& a, uint16_t gap) {
    if (a.sequence < s.highestSequence) ++s.cycles;
    s.jitter = TransitDifference(s, a) + 15 * (s.jitter / 16);
    AddWrapping(s.lost, gap - 1u);
    AddWrapping(s.expected, gap);
    AddWrapping(s.received, 1);
    s.totalLost += gap - 1;
    ++s.totalReceived;
    s.highestSequence = a.sequence;
    s.lastRtpTimeStamp = a.timeStamp;
    s.lastArrival = a.now;
    s.recentMask = (gap >= kRecentWindow ? 0 : s.recentMask << gap) | 1u;
}

// A packet below the highest: either one counted lost that now arrived, or a
// repeat. Those further back than the window cannot be told apart and are not counted.
void CountLate(SourceStats& s, uint16_t behind) {
    if (behind >= kRecentWindow) return;
    const uint32_t bit = 1u << behind;
    if (s.recentMask & bit) return;
    s.recentMask |= bit;
    AddWrapping(s.received, 1);
    if (s.lost > 0) --s.lost;
    if (s.totalLost > 0) --s.totalLost;
    ++s.totalReceived;
}

void CountKnownSource(SourceStats& s, const RtpArrival& a) {
    if (!s.rtpSeen) return StartSequence(s, a);
    const uint16_t ahead = uint16_t(a.sequence - s.highestSequence);
    if (ahead == 0) return;  // repeat of the highest
    if (ahead <= 0x8000) return CountForward(s, a, ahead);
    CountLate(s, uint16_t(s.highestSequence - a.sequence));
}

}  // namespace

SourceStats* FindSource(SourceTable& sources, uint32_t ssrc) {
    for (SourceStats& s : sources) {
        if (s.Used() && s.ssrc == ssrc) return &s;
    }
    return nullptr;
}

void CountRtpPacket(SourceTable& sources, const RtpArrival& arrival) {
    if (arrival.ssrc == 0) return;  // indistinguishable from an empty entry
    for (SourceStats& s : sources) {
        if (s.Used() && s.ssrc != arrival.ssrc) continue;
        if (!s.Used()) {
            s = SourceStats{};
            s.ssrc = arrival.ssrc;
            s.address = arrival.address;
            s.port = arrival.port;
        }
        return CountKnownSource(s, arrival);
    }
}

}  // namespace rtp
