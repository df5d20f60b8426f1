#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <string>

#include "platform/clock.h"
#include "talk/rtp/ntp_time.h"
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

// Called with each accepted RTP packet's payload (see rtp_receive.h).
struct RtpPacketInfo;
using PayloadHook = void (*)(void* context, const RtpPacketInfo& info, const uint8_t* payload,
                             size_t length);
// Called after each report block a peer sent about us.
using ReportHook = void (*)(void* context, int reserved);

// One talk's RTP session. The host thread and the send thread share it; every
// access goes through the functions of this folder, which take the lock.
struct RtpSessionState {
    RtpSessionState(uint16_t port, platform::Clock& time)
        : talkPort(port), talkPortPlusOne(uint16_t(port + 1)), clock(time) {}

    uint16_t talkPort;
    uint16_t talkPortPlusOne;
    std::array<TalkDestination, kMaxDestinations> destinations{};
    std::array<SourceStats, kMaxSources> sources{};
    uint16_t nextSequence = 0;
    uint32_t lastRtpTimeStamp = 0;
    uint32_t ssrc = 0;
    uint32_t packetCount = 0;
    uint32_t octetCount = 0;
    std::array<uint32_t, kRtcpTypeCount> rtcpReceived{};  // by type, SR first
    std::string cname;  // SDES CNAME text
    std::deque<SourceStats> departed;  // the last sources removed by BYE, kept for statistics

    void* payloadContext = nullptr;
    PayloadHook payloadHook = nullptr;
    void* reportContext = nullptr;
    ReportHook reportHook = nullptr;

    RtpClock clock;
    mutable std::mutex lock;
};

// A fresh session on port: SSRC drawn from seed, CNAME as given (see MakeCname).
std::unique_ptr<RtpSessionState> CreateState(uint16_t port, platform::Clock& clock, uint32_t seed,
                                             std::string cname);

// Hooks are set once, before the session is shared.
void SetPayloadHook(RtpSessionState& state, PayloadHook hook, void* context);
void SetReportHook(RtpSessionState& state, ReportHook hook, void* context);

// Destinations: first free slot of 16, no duplicate check; full list: ignored.
// The text form takes dotted decimal IPv4 and returns false (storing nothing) on anything else.
bool AddDestination(RtpSessionState& state, const char* ipText, uint16_t port);
bool AddDestination(RtpSessionState& state, uint32_t address, uint16_t port);
// Empties the first matching slot and moves the last used one into the hole.
bool RemoveDestination(RtpSessionState& state, const char* ipText, uint16_t port);
bool RemoveDestination(RtpSessionState& state, uint32_t address, uint16_t port);

}  // namespace rtp
