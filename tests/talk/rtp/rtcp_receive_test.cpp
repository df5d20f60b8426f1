#include <gtest/gtest.h>

#include "talk/rtp/ipv4_text.h"
#include "talk/rtp/rtcp_receive.h"
#include "talk/rtp/rtcp_send.h"
#include "talk/rtp/rtp_receive.h"
#include "talk/rtp/rtp_session.h"
#include "tests/support/rtp_packets.h"
#include "tests/support/manual_clock.h"
#include "tests/talk/rtp/rtp_test_support.h"

namespace rtp {
namespace {

const uint32_t kPeer = Ipv4FromBytes(10, 0, 0, 2);

// A block about `ssrc` saying fraction lost 0x20, 3 packets lost and jitter 0x99.
ReportBlock BlockAbout(uint32_t ssrc, uint32_t lsr, uint32_t dlsr) { return {ssrc, 0x20000003, 0, 0x99, lsr, dlsr}; }

std::vector<uint8_t> Rr(uint32_t reporter, const ReportBlock& block) { return support::ReceiverReport(reporter, {block}); }

class RtcpHandler : public ::testing::Test {
protected:
    RtpSessionState state = CreateState(40000, 1, "me@here");
    uint32_t now = NtpMiddle32({1'700'000'000, 250'000});

    void Rtp(uint32_t ssrc, uint16_t seq, uint32_t address = kPeer) {
        TakeRtpPacket(state, address, 50000, now, support::VoicePacket(ssrc, seq));
    }
    void Rtcp(const std::vector<uint8_t>& p, uint32_t address = kPeer) {
        TakeRtcpCompound(state, address, 50001, now, p);
    }
};

TEST_F(RtcpHandler, SenderReportFromKnownSourceRestartsItsInterval) {
    Rtp(0x55, 0);
    Rtp(0x55, 3);
    Rtcp(support::SenderReport({0x55, {0xE8FE6F80, 0x12345678}}));
    const SourceStats& s = state.sources[0];
    EXPECT_EQ(s.lsr, 0x6F801234u);
    EXPECT_EQ(s.srArrival, now);
    EXPECT_EQ(s.lost, 0);
    EXPECT_EQ(s.received, 0);
    EXPECT_EQ(s.expected, 0);
    EXPECT_EQ(s.totalLost, 2);  // the whole-talk totals stay
    EXPECT_EQ(state.rtcpReceived[0], 1u);
}

TEST_F(RtcpHandler, SenderReportFromUnknownSourceCreatesItAtTheRtpPort) {
    SenderInfo sender;
    sender.ssrc = 0x66;
    sender.packetCount = 1000;
    Rtcp(support::SenderReport(sender));
    const SourceStats& s = state.sources[0];
    EXPECT_EQ(s.ssrc, 0x66u);
    EXPECT_EQ(s.address, kPeer);
    EXPECT_EQ(s.port, 50000);
    now += 1311;  // 20 ms
    Rtp(0x66, 1200);
    EXPECT_EQ(s.received, 1);
    EXPECT_EQ(s.lost, 0);
    EXPECT_EQ(s.jitter, 0u);
    EXPECT_EQ(s.highestSequence, 1200);
}

TEST_F(RtcpHandler, ReportBlockAboutUsGivesRoundTripAndWhatThePeerHeard) {
    Rtp(0x55, 0);
    Rtcp(Rr(0x55, BlockAbout(state.ssrc, now - 3000, 1000)));
    const SourceStats& s = state.sources[0];
    EXPECT_EQ(s.roundTrip, 2000u);
    EXPECT_TRUE(s.roundTripSeen);
    EXPECT_EQ(s.peerJitter, 0x99u);
    EXPECT_EQ(s.peerLossWord[0], 0x20);
    EXPECT_EQ(s.peerLossWord[3], 0x03);
    EXPECT_EQ(state.rtcpReceived[1], 1u);
}

TEST_F(RtcpHandler, BlockAboutAnotherSsrcOrWithZeroLsrLeavesRoundTrip) {
    Rtp(0x55, 0);
    Rtcp(Rr(0x55, BlockAbout(state.ssrc + 2, 100, 100)));
    EXPECT_EQ(state.sources[0].peerJitter, 0u);
    Rtcp(Rr(0x55, BlockAbout(state.ssrc, 0, 100)));
    EXPECT_EQ(state.sources[0].peerJitter, 0x99u);
    EXPECT_FALSE(state.sources[0].roundTripSeen);
    EXPECT_EQ(state.sources[0].roundTrip, 0u);
}

TEST_F(RtcpHandler, ReportFromUnknownReporterIsIgnored) {
    Rtcp(Rr(0x77, BlockAbout(state.ssrc, 100, 100)));
    EXPECT_FALSE(state.sources[0].Used());
}

TEST_F(RtcpHandler, ByeRemovesSourceAndFirstDestinationAtItsAddress) {
    const uint32_t other = Ipv4FromBytes(10, 0, 0, 9);
    AddDestination(state, kPeer, 50000);
    AddDestination(state, other, 50000);
    AddDestination(state, kPeer, 50004);
    Rtp(0x11, 0, other);
    Rtp(0x55, 0);
    Rtp(0x22, 0, other);
    Rtcp(support::Bye({0x55}));
    EXPECT_EQ(state.sources[0].ssrc, 0x11u);
    EXPECT_EQ(state.sources[1].ssrc, 0x22u);
    EXPECT_FALSE(state.sources[2].Used());
    EXPECT_EQ(state.destinations[0].port, 50004);  // the last moved into the hole
    EXPECT_EQ(state.destinations[0].address, kPeer);
    EXPECT_EQ(state.destinations[1].address, other);
    EXPECT_FALSE(state.destinations[2].Used());
    EXPECT_EQ(state.rtcpReceived[3], 1u);
    ASSERT_EQ(state.departed.size(), 1u);
    EXPECT_EQ(state.departed[0].ssrc, 0x55u);
}

TEST_F(RtcpHandler, ByeRemovesOnlyTheFirstOfTwoDestinationsAtItsAddress) {
    const uint32_t other = Ipv4FromBytes(10, 0, 0, 9);
    AddDestination(state, kPeer, 50000);
    AddDestination(state, kPeer, 50002);
    AddDestination(state, other, 50000);
    Rtp(0x55, 0);
    Rtcp(support::Bye({0x55}));
    EXPECT_EQ(state.destinations[0].address, other);
    EXPECT_EQ(state.destinations[1].address, kPeer);
    EXPECT_EQ(state.destinations[1].port, 50002);
    EXPECT_FALSE(state.destinations[2].Used());
}

TEST_F(RtcpHandler, ByeListingSeveralSourcesRemovesEach) {
    Rtp(0x11, 0);
    Rtp(0x22, 0);
    Rtp(0x33, 0);
    Rtcp(support::Bye({0x33, 0x11, 0x99}));
    EXPECT_EQ(state.sources[0].ssrc, 0x22u);
    EXPECT_FALSE(state.sources[1].Used());
}

TEST_F(RtcpHandler, CompoundOfSenderReportAndSdesIsWalkedWhole) {
    RtpSessionState peer = CreateState(50000, 5, "peer@box");
    AddDestination(peer, "10.0.0.1", 40000);
    Rtcp(BuildSrCompound(peer, {1'700'000'000, 250'000}));
    EXPECT_EQ(state.rtcpReceived[0], 1u);
    EXPECT_EQ(state.rtcpReceived[2], 1u);
    EXPECT_EQ(state.sources[0].ssrc, peer.ssrc);
}

// Each datagram is broken in one way; none may change the state.
TEST_F(RtcpHandler, MalformedDatagramsAreDroppedWhole) {
    Rtp(0x55, 0);
    const auto good = Rr(0x55, BlockAbout(state.ssrc, 7, 7));
    std::vector<std::vector<uint8_t>> bad;
    auto v = good; v[0] = 0x41; bad.push_back(v);                    // version bit clear
    v = good; v[1] = 199; bad.push_back(v);                          // type below 200
    v = good; v[1] = 205; bad.push_back(v);                          // type above 204
    v = good; v.resize(30); bad.push_back(v);                        // shorter than its length field
    v = good; v[0] = 0x82; bad.push_back(v);                         // two blocks claimed, one present
    v = good; v[3] = 1; bad.push_back(v);                            // blocks outside the packet
    v = good; v.push_back(0x80); v.push_back(201); bad.push_back(v); // a partial second header
    v = good; auto bye = support::Bye({0x55}); bye[0] = 0x85; bye[3] = 1;
    v.insert(v.end(), bye.begin(), bye.end()); bad.push_back(v);     // BYE lists more than it holds
    v = good; v.insert(v.end(), {0x81, 202, 0, 2, 0, 0, 0, 0x55, 1, 9, 'a', 'b'});
    bad.push_back(v);                                                // SDES item runs past the packet
    v = good; v.insert(v.end(), {0x81, 202, 0, 2, 0, 0, 0, 0x55, 1, 2, 'a', 'b'});
    bad.push_back(v);                                                // SDES chunk without end byte
    v = good; v.insert(v.end(), {0x80, 200, 0, 1, 0, 0, 0, 0x55});
    bad.push_back(v);                                                // SR shorter than its header
    for (size_t i = 0; i < bad.size(); ++i) {
        Rtcp(bad[i]);
        EXPECT_EQ(state.sources[0].peerJitter, 0u) << i;
        EXPECT_EQ(state.rtcpReceived[1], 0u) << i;
    }
    Rtcp(support::Bye({0x55}));  // sanity: a good one does change it
    EXPECT_FALSE(state.sources[0].Used());
}

TEST_F(RtcpHandler, SdesWithEndBytePaddingIsAccepted) {
    Rtp(0x55, 0);
    auto p = Rr(0x55, BlockAbout(state.ssrc, 7, 7));
    p.insert(p.end(), {0x81, 202, 0, 2, 0, 0, 0, 0x55, 1, 1, 'a', 0});
    Rtcp(p);
    EXPECT_EQ(state.rtcpReceived[2], 1u);
    EXPECT_EQ(state.sources[0].peerJitter, 0x99u);
}

// Two sessions on one clock: A's SR reaches B after 100 ms, B answers 200 ms
// later, the answer reaches A after another 50 ms: 150 ms round trip.
TEST(RtcpRoundTrip, SenderReportThenReceiverReportGivesTheNetworkDelay) {
    support::ManualClock clock;
    test::RecordingSender fromA, fromB;
    ReceiveStreams playbackA, playbackB;
    RtpSession a(fromA.Sender(), playbackA, clock, "a@x");
    RtpSession b(fromB.Sender(), playbackB, clock, "b@y");
    a.Begin(40000);
    clock.wall.microseconds += 1;
    b.Begin(50000);
    const uint32_t ipA = Ipv4FromBytes(10, 0, 0, 1), ipB = Ipv4FromBytes(10, 0, 0, 2);
    b.AddDestination("10.0.0.1", 40000);
    b.SendVoice(std::vector<uint8_t>(26, 0));
    a.ReceiveRtp(ipB, 50000, fromB.packets[0].bytes);

    a.SendSenderReport();  // to port + 1 of its one source, B
    clock.Advance(100'000);
    b.ReceiveRtcp(ipA, 40001, fromA.packets.back().bytes);
    clock.Advance(200'000);
    b.SendReceiverReport();
    clock.Advance(50'000);
    a.ReceiveRtcp(ipB, 50001, fromB.packets.back().bytes);
    const SessionStatistics atA = a.Statistics();
    ASSERT_TRUE(atA.sources[0].roundTripKnown);
    EXPECT_NEAR(double(atA.sources[0].roundTrip), 0.150 * 65536, 2.0);
}

}  // namespace
}  // namespace rtp
