#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <string>

#include "talk/rtp/rtcp_packets.h"

namespace rtp {

constexpr size_t kMaxDestinations = 16;
constexpr size_t kMaxSources = 16;

// A peer voice goes to. The address is IPv4 in network order, the port in host order.
struct TalkDestination {
    uint32_t address = 0;
    uint16_t port = 0;
    bool Used() const { return address != 0 || port != 0; }
};

// What is known about one remote sender; SSRC 0 marks an empty entry.
struct SourceStats {
    uint32_t ssrc = 0;
    uint32_t address = 0;  // network order
    uint16_t port = 0;     // RTP port, host order
    uint16_t highestSequence = 0;
    uint32_t cycles = 0;
    // Counted since the last SR from this source.
    int32_t lost = 0;
    int32_t received = 0;
    int32_t expected = 0;
    uint8_t peerLossWord[4] = {};  // fraction and cumulative lost it reported about us
    uint32_t lastRtpTimeStamp = 0;
    uint32_t lastArrival = 0;  // NtpMiddle32
    uint32_t jitter = 0;       // scaled by 16, in 1/65536 s
    uint32_t peerJitter = 0;
    uint32_t lsr = 0;
    uint32_t srArrival = 0;  // NtpMiddle32
    uint32_t roundTrip = 0;  // 1/65536 s
    // Beyond the report fields: whole-talk totals and the bookkeeping they need.
    bool rtpSeen = false;     // an entry made by an SR has no sequence history yet
    bool srSeen = false;      // LSR and SR arrival are valid
    bool roundTripSeen = false;
    uint32_t recentMask = 0;  // bit i: sequence highest - i arrived
    uint32_t totalReceived = 0;
    int64_t totalLost = 0;
    bool Used() const { return ssrc != 0; }
};

using SourceTable = std::array<SourceStats, kMaxSources>;
using DestinationTable = std::array<TalkDestination, kMaxDestinations>;

// One talk's RTP state, plain data: RtpSession keeps it under its lock, and the
// functions of this folder that take it are called with that lock held.
struct RtpSessionState {
    uint16_t talkPort = 0;
    uint16_t talkPortPlusOne = 0;
    DestinationTable destinations{};
    SourceTable sources{};
    uint16_t nextSequence = 0;
    uint32_t lastRtpTimeStamp = 0;
    uint32_t ssrc = 0;
    uint32_t packetCount = 0;
    uint32_t octetCount = 0;
    std::array<uint32_t, kRtcpTypeCount> rtcpReceived{};  // by type, SR first
    std::string cname;  // SDES CNAME text
    std::deque<SourceStats> departed;  // the last sources removed by BYE, kept for statistics
};

// A fresh state on port: SSRC drawn from seed, CNAME as given (see MakeCname).
RtpSessionState CreateState(uint16_t port, uint32_t seed, std::string cname);

// Destinations: first free slot of 16, no duplicate check; full list: ignored.
// The text form takes dotted decimal IPv4 and returns false (storing nothing) on anything else.
bool AddDestination(RtpSessionState& state, const char* ipText, uint16_t port);
bool AddDestination(RtpSessionState& state, uint32_t address, uint16_t port);
// Empties the first matching slot and moves the last used one into the hole.
bool RemoveDestination(RtpSessionState& state, const char* ipText, uint16_t port);
bool RemoveDestination(RtpSessionState& state, uint32_t address, uint16_t port);

}  // namespace rtp
