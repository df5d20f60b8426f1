#include <gtest/gtest.h>

#include "common/byte_order.h"
#include "talk/rtp/ipv4_text.h"
#include "talk/rtp/rtcp_send.h"
#include "talk/rtp/rtp_receive.h"
#include "talk/rtp/rtp_session.h"
#include "tests/support/rtp_packets.h"
#include "tests/support/manual_clock.h"
#include "tests/talk/rtp/rtp_test_support.h"

namespace rtp {
namespace {

const uint32_t kA = Ipv4FromBytes(10, 0, 0, 1);
const uint32_t kB = Ipv4FromBytes(10, 0, 0, 2);
const platform::WallTime kNow{1'700'000'000, 250'000};

class Reports : public ::testing::Test {
protected:
    RtpSessionState state = CreateState(40000, 1, "me@here");  // SDES of 20 bytes

    void RtpFrom(uint32_t address, uint16_t port, uint32_t ssrc) {
        TakeRtpPacket(state, address, port, NtpMiddle32(kNow), support::VoicePacket(ssrc, 0));
    }
};

TEST_F(Reports, SourcesFirstThenDestinationsNotAlreadyServedAtPortPlusOne) {
    AddDestination(state, kA, 40002);  // also a source: served once
    AddDestination(state, kB, 40002);
    AddDestination(state, kA, 40010);  // same address, other port: served
    RtpFrom(kB, 40006, 0x22);
    RtpFrom(kA, 40002, 0x11);
    const std::vector<TalkDestination> targets = ReportTargets(state);
    ASSERT_EQ(targets.size(), 4u);
    const std::pair<uint32_t, uint16_t> expected[] = {{kB, 40007}, {kA, 40003}, {kB, 40003}, {kA, 40011}};
    for (size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(targets[i].address, expected[i].first) << i;
        EXPECT_EQ(targets[i].port, expected[i].second) << i;
    }
    const std::vector<uint8_t> bye = {0x81, 203, 0, 1, uint8_t(state.ssrc >> 24), uint8_t(state.ssrc >> 16),
                                      uint8_t(state.ssrc >> 8), uint8_t(state.ssrc)};
    EXPECT_EQ(BuildByePacket(state), bye);
}

TEST_F(Reports, PeriodicReportsAreSrCompoundThenRrCompound) {
    const auto sr = BuildSrCompound(state, kNow);
    const auto rr = BuildRrCompound(state, kNow);
    ASSERT_EQ(sr.size(), 28u + 20u);
    EXPECT_EQ(sr[1], 200);
    EXPECT_EQ(sr[29], 202);
    ASSERT_EQ(rr.size(), 8u + 20u);
    EXPECT_EQ(rr[1], 201);
    EXPECT_EQ(rr[9], 202);
    EXPECT_EQ(common::GetBe32(&sr[8]), ToNtp(kNow).seconds);
    EXPECT_EQ(common::GetBe32(&sr[16]), NtpMiddle32(kNow));
}

TEST_F(Reports, ReportsGrowByOneBlockPerSource) {
    RtpFrom(kA, 40002, 0x11);
    RtpFrom(kB, 40002, 0x22);
    const auto sr = BuildSrCompound(state, kNow);
    EXPECT_EQ(sr.size(), 28u + 48u + 20u);
    EXPECT_EQ(BuildRrCompound(state, kNow).size(), 8u + 48u + 20u);
    EXPECT_EQ(common::GetBe32(&sr[28]), 0x11u);
    EXPECT_EQ(common::GetBe32(&sr[52]), 0x22u);
}

TEST_F(Reports, SenderCountersGoIntoTheSenderReport) {
    state.packetCount = 321;
    state.octetCount = 12840;
    const auto sr = BuildSrCompound(state, kNow);
    EXPECT_EQ(common::GetBe32(&sr[20]), 321u);
    EXPECT_EQ(common::GetBe32(&sr[24]), 12840u);
    EXPECT_EQ(common::GetBe32(&sr[4]), state.ssrc);
}

// The session sends each compound to every target in turn, the SR before the RR.
TEST(SessionReports, EachReportGoesToEveryTargetAndByeEndsTheTalk) {
    support::ManualClock clock;
    test::RecordingSender recorder;
    ReceiveStreams playback;
    RtpSession session(recorder.Sender(), playback, clock, "me@here");
    session.Begin(40000);
    session.AddDestination("10.0.0.1", 40002);
    session.AddDestination("10.0.0.2", 40002);
    session.SendSenderReport();
    session.SendReceiverReport();
    session.End();
    ASSERT_EQ(recorder.packets.size(), 6u);
    const uint8_t types[] = {200, 200, 201, 201, 203, 203};
    for (size_t i = 0; i < 6; ++i) {
        EXPECT_TRUE(recorder.packets[i].isRtcp) << i;
        EXPECT_EQ(recorder.packets[i].port, 40003) << i;
        EXPECT_EQ(recorder.packets[i].address, i % 2 ? kB : kA) << i;
        EXPECT_EQ(recorder.packets[i].bytes[1], types[i]) << i;
    }
    session.SendSenderReport();  // no talk any more
    EXPECT_EQ(recorder.packets.size(), 6u);
}

}  // namespace
}  // namespace rtp
