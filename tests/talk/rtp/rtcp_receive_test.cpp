#include <gtest/gtest.h>

#include "common/byte_order.h"
#include "talk/rtp/ipv4_text.h"
#include "talk/rtp/rtcp_build.h"
#include "talk/rtp/rtcp_receive.h"
#include "talk/rtp/rtcp_send.h"
#include "talk/rtp/rtp_receive.h"
#include "talk/rtp/rtp_send.h"
#include "tests/talk/rtp/rtp_test_support.h"

namespace rtp {
namespace {

const uint32_t kPeer = Ipv4FromBytes(10, 0, 0, 2);

std::vector<uint8_t> RtpFrom(uint32_t ssrc, uint16_t seq) {
    std::vector<uint8_t> p(40, 0);
    p[0] = 0x80;
    p[1] = 0xE2;
    common::PutBe16(&p[2], seq);
    common::PutBe32(&p[8], ssrc);
    return p;
}

std::vector<uint8_t> ReportBlockAbout(uint32_t ssrc, uint32_t lsr, uint32_t dlsr) {
    std::vector<uint8_t> b(24, 0);
    common::PutBe32(&b[0], ssrc);
    b[4] = 0x20;
    b[7] = 0x03;
    common::PutBe32(&b[12], 0x99);
    common::PutBe32(&b[16], lsr);
    common::PutBe32(&b[20], dlsr);
    return b;
}

std::vector<uint8_t> Rr(uint32_t reporter, const std::vector<uint8_t>& block) {
    std::vector<uint8_t> p(8 + block.size(), 0);
    p[0] = 0x81;
    p[1] = 201;
    p[3] = 7;
    common::PutBe32(&p[4], reporter);
    std::copy(block.begin(), block.end(), p.begin() + 8);
    return p;
}

std::vector<uint8_t> Bye(std::initializer_list<uint32_t> ssrcs) {
    std::vector<uint8_t> p = {uint8_t(0x80 | ssrcs.size()), 203, 0, uint8_t(ssrcs.size())};
    for (uint32_t s : ssrcs) {
        p.resize(p.size() + 4);
        common::PutBe32(&p[p.size() - 4], s);
    }
    return p;
}

class RtcpHandler : public ::testing::Test {
protected:
    test::FakeClock clock;
    std::unique_ptr<RtpSessionState> state = CreateState(40000, clock, 1, "me@here");
    int hookCalls = 0;

    void SetUp() override {
        SetReportHook(*state, [](void* c, int) { ++static_cast<RtcpHandler*>(c)->hookCalls; }, this);
    }
    void Rtp(uint32_t ssrc, uint16_t seq, uint32_t address = kPeer) {
        const auto p = RtpFrom(ssrc, seq);
        HandleRtp(state.get(), address, 50000, p.data(), p.size());
    }
    void Rtcp(const std::vector<uint8_t>& p, uint32_t address = kPeer) {
        HandleRtcp(state.get(), address, 50001, p.data(), p.size());
    }
};

TEST_F(RtcpHandler, SenderReportFromKnownSourceRestartsItsInterval) {
    Rtp(0x55, 0);
    Rtp(0x55, 3);
    std::vector<uint8_t> sr(28, 0);
    sr[0] = 0x80;
    sr[1] = 200;
    sr[3] = 6;
    common::PutBe32(&sr[4], 0x55);
    common::PutBe32(&sr[8], 0xE8FE6F80);
    common::PutBe32(&sr[12], 0x12345678);
    Rtcp(sr);
    const SourceStats& s = state->sources[0];
    EXPECT_EQ(s.lsr, 0x6F801234u);
    EXPECT_EQ(s.srArrival, NtpMiddle32(clock.wall));
    EXPECT_EQ(s.lost, 0);
    EXPECT_EQ(s.received, 0);
    EXPECT_EQ(s.expected, 0);
    EXPECT_EQ(s.totalLost, 2);  // the whole-talk totals stay
    EXPECT_EQ(state->rtcpReceived[0], 1u);
}

TEST_F(RtcpHandler, SenderReportFromUnknownSourceCreatesItAtTheRtpPort) {
    std::vector<uint8_t> sr(28, 0);
    sr[0] = 0x80;
    sr[1] = 200;
    sr[3] = 6;
    common::PutBe32(&sr[4], 0x66);
    common::PutBe32(&sr[20], 1000);  // the sender's packet count
    Rtcp(sr);
    const SourceStats& s = state->sources[0];
    EXPECT_EQ(s.ssrc, 0x66u);
    EXPECT_EQ(s.address, kPeer);
    EXPECT_EQ(s.port, 50000);
    clock.Advance(20'000);
    Rtp(0x66, 1200);
    EXPECT_EQ(s.received, 1);
    EXPECT_EQ(s.lost, 0);
    EXPECT_EQ(s.jitter, 0u);
    EXPECT_EQ(s.highestSequence, 1200);
}

TEST_F(RtcpHandler, ReportBlockAboutUsGivesRoundTripAndCallsHook) {
    Rtp(0x55, 0);
    const uint32_t now = NtpMiddle32(clock.wall);
    Rtcp(Rr(0x55, ReportBlockAbout(state->ssrc, now - 3000, 1000)));
    const SourceStats& s = state->sources[0];
    EXPECT_EQ(s.roundTrip, 2000u);
    EXPECT_TRUE(s.roundTripSeen);
    EXPECT_EQ(s.peerJitter, 0x99u);
    EXPECT_EQ(s.peerLossWord[0], 0x20);
    EXPECT_EQ(s.peerLossWord[3], 0x03);
    EXPECT_EQ(hookCalls, 1);
    EXPECT_EQ(state->rtcpReceived[1], 1u);
}

TEST_F(RtcpHandler, BlockAboutAnotherSsrcOrWithZeroLsrLeavesRoundTrip) {
    Rtp(0x55, 0);
    Rtcp(Rr(0x55, ReportBlockAbout(state->ssrc + 2, 100, 100)));
    EXPECT_EQ(hookCalls, 0);
    EXPECT_EQ(state->sources[0].peerJitter, 0u);
    Rtcp(Rr(0x55, ReportBlockAbout(state->ssrc, 0, 100)));
    EXPECT_EQ(hookCalls, 1);
    EXPECT_FALSE(state->sources[0].roundTripSeen);
    EXPECT_EQ(state->sources[0].roundTrip, 0u);
}

TEST_F(RtcpHandler, ReportFromUnknownReporterIsIgnored) {
    Rtcp(Rr(0x77, ReportBlockAbout(state->ssrc, 100, 100)));
    EXPECT_EQ(hookCalls, 0);
    EXPECT_FALSE(state->sources[0].Used());
}

TEST_F(RtcpHandler, ByeRemovesSourceAndFirstDestinationAtItsAddress) {
    const uint32_t other = Ipv4FromBytes(10, 0, 0, 9);
    AddDestination(*state, kPeer, 50000);
    AddDestination(*state, other, 50000);
    AddDestination(*state, kPeer, 50004);
    Rtp(0x11, 0, other);
    Rtp(0x55, 0);
    Rtp(0x22, 0, other);
    Rtcp(Bye({0x55}));
    EXPECT_EQ(state->sources[0].ssrc, 0x11u);
    EXPECT_EQ(state->sources[1].ssrc, 0x22u);
    EXPECT_FALSE(state->sources[2].Used());
    EXPECT_EQ(state->destinations[0].port, 50004);  // the last moved into the hole
    EXPECT_EQ(state->destinations[0].address, kPeer);
    EXPECT_EQ(state->destinations[1].address, other);
    EXPECT_FALSE(state->destinations[2].Used());
    EXPECT_EQ(state->rtcpReceived[3], 1u);
    ASSERT_EQ(state->departed.size(), 1u);
    EXPECT_EQ(state->departed[0].ssrc, 0x55u);
}

TEST_F(RtcpHandler, ByeRemovesOnlyTheFirstOfTwoDestinationsAtItsAddress) {
    const uint32_t other = Ipv4FromBytes(10, 0, 0, 9);
    AddDestination(*state, kPeer, 50000);
    AddDestination(*state, kPeer, 50002);
    AddDestination(*state, other, 50000);
    Rtp(0x55, 0);
    Rtcp(Bye({0x55}));
    EXPECT_EQ(state->destinations[0].address, other);
    EXPECT_EQ(state->destinations[1].address, kPeer);
    EXPECT_EQ(state->destinations[1].port, 50002);
    EXPECT_FALSE(state->destinations[2].Used());
}

TEST_F(RtcpHandler, ByeListingSeveralSourcesRemovesEach) {
    Rtp(0x11, 0);
    Rtp(0x22, 0);
    Rtp(0x33, 0);
    Rtcp(Bye({0x33, 0x11, 0x99}));
    EXPECT_EQ(state->sources[0].ssrc, 0x22u);
    EXPECT_FALSE(state->sources[1].Used());
}

TEST_F(RtcpHandler, CompoundOfSenderReportAndSdesIsWalkedWhole) {
    auto peer = CreateState(50000, clock, 5, "peer@box");
    AddDestination(*peer, "10.0.0.1", 40000);
    const auto compound = BuildSrCompound(*peer);
    Rtcp(compound);
    EXPECT_EQ(state->rtcpReceived[0], 1u);
    EXPECT_EQ(state->rtcpReceived[2], 1u);
    EXPECT_EQ(state->sources[0].ssrc, peer->ssrc);
}

// Each datagram is broken in one way; none may change the state.
TEST_F(RtcpHandler, MalformedDatagramsAreDroppedWhole) {
    Rtp(0x55, 0);
    const auto good = Rr(0x55, ReportBlockAbout(state->ssrc, 7, 7));
    std::vector<std::vector<uint8_t>> bad;
    auto v = good; v[0] = 0x41; bad.push_back(v);                    // version bit clear
    v = good; v[1] = 199; bad.push_back(v);                          // type below 200
    v = good; v[1] = 205; bad.push_back(v);                          // type above 204
    v = good; v.resize(30); bad.push_back(v);                        // shorter than its length field
    v = good; v[0] = 0x82; bad.push_back(v);                         // two blocks claimed, one present
    v = good; v[3] = 1; bad.push_back(v);                            // blocks outside the packet
    v = good; v.push_back(0x80); v.push_back(201); bad.push_back(v); // a partial second header
    v = good; auto bye = Bye({0x55}); bye[0] = 0x85; bye[3] = 1;
    v.insert(v.end(), bye.begin(), bye.end()); bad.push_back(v);     // BYE lists more than it holds
    v = good; v.insert(v.end(), {0x81, 202, 0, 2, 0, 0, 0, 0x55, 1, 9, 'a', 'b'});
    bad.push_back(v);                                                // SDES item runs past the packet
    v = good; v.insert(v.end(), {0x81, 202, 0, 2, 0, 0, 0, 0x55, 1, 2, 'a', 'b'});
    bad.push_back(v);                                                // SDES chunk without end byte
    v = good; v.insert(v.end(), {0x80, 200, 0, 1, 0, 0, 0, 0x55});
    bad.push_back(v);                                                // SR shorter than its header
    for (size_t i = 0; i < bad.size(); ++i) {
        Rtcp(bad[i]);
        EXPECT_EQ(hookCalls, 0) << i;
        EXPECT_EQ(state->rtcpReceived[1], 0u) << i;
    }
    Rtcp(Bye({0x55}));  // sanity: a good one does change it
    EXPECT_FALSE(state->sources[0].Used());
}

TEST_F(RtcpHandler, SdesWithEndBytePaddingIsAccepted) {
    Rtp(0x55, 0);
    auto p = Rr(0x55, ReportBlockAbout(state->ssrc, 7, 7));
    p.insert(p.end(), {0x81, 202, 0, 2, 0, 0, 0, 0x55, 1, 1, 'a', 0});
    Rtcp(p);
    EXPECT_EQ(state->rtcpReceived[2], 1u);
    EXPECT_EQ(hookCalls, 1);
}

// Two sessions on one clock: A's SR reaches B after 100 ms, B answers 200 ms
// later, the answer reaches A after another 50 ms: 150 ms round trip.
TEST(RtcpRoundTrip, SenderReportThenReceiverReportGivesTheNetworkDelay) {
    test::FakeClock clock;
    auto a = CreateState(40000, clock, 1, "a@x");
    auto b = CreateState(50000, clock, 2, "b@y");
    const uint32_t ipA = Ipv4FromBytes(10, 0, 0, 1), ipB = Ipv4FromBytes(10, 0, 0, 2);
    test::RecordingSink toA;
    AddDestination(*b, ipA, 40000);
    const std::vector<uint8_t> frame(26, 0);
    SendVoice(*b, frame.data(), frame.size(), toA.Sink());
    HandleRtp(a.get(), ipB, 50000, toA.packets[0].bytes.data(), toA.packets[0].bytes.size());

    const auto sr = BuildSrCompound(*a);
    clock.Advance(100'000);
    HandleRtcp(b.get(), ipA, 40001, sr.data(), sr.size());
    clock.Advance(200'000);
    const auto rr = BuildRrCompound(*b);
    clock.Advance(50'000);
    HandleRtcp(a.get(), ipB, 50001, rr.data(), rr.size());
    ASSERT_TRUE(a->sources[0].roundTripSeen);
    EXPECT_NEAR(double(a->sources[0].roundTrip), 0.150 * 65536, 2.0);
}

}  // namespace
}  // namespace rtp
