#include <gtest/gtest.h>

#include "common/byte_order.h"
#include "talk/rtp/ipv4_text.h"
#include "talk/rtp/rtcp_send.h"
#include "talk/rtp/rtp_receive.h"
#include "tests/talk/rtp/rtp_test_support.h"

namespace rtp {
namespace {

const uint32_t kA = Ipv4FromBytes(10, 0, 0, 1);
const uint32_t kB = Ipv4FromBytes(10, 0, 0, 2);

class Reports : public ::testing::Test {
protected:
    test::FakeClock clock;
    std::unique_ptr<RtpSessionState> state = CreateState(40000, clock, 1, "me@here");  // SDES of 20 bytes
    test::RecordingSink recorder;

    void RtpFrom(uint32_t address, uint16_t port, uint32_t ssrc) {
        std::vector<uint8_t> p(40, 0);
        p[0] = 0x80;
        p[1] = 0xE2;
        common::PutBe32(&p[8], ssrc);
        HandleRtp(state.get(), address, port, p.data(), p.size());
    }
};

TEST_F(Reports, SourcesFirstThenDestinationsNotAlreadyServedAtPortPlusOne) {
    AddDestination(*state, kA, 40002);  // also a source: served once
    AddDestination(*state, kB, 40002);
    AddDestination(*state, kA, 40010);  // same address, other port: served
    RtpFrom(kB, 40006, 0x22);
    RtpFrom(kA, 40002, 0x11);
    SendBye(*state, recorder.Sink());
    ASSERT_EQ(recorder.packets.size(), 4u);
    const std::pair<uint32_t, uint16_t> expected[] = {{kB, 40007}, {kA, 40003}, {kB, 40003}, {kA, 40011}};
    for (size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(recorder.packets[i].address, expected[i].first) << i;
        EXPECT_EQ(recorder.packets[i].port, expected[i].second) << i;
        EXPECT_TRUE(recorder.packets[i].isRtcp);
    }
    const std::vector<uint8_t> bye = {0x81, 203, 0, 1, uint8_t(state->ssrc >> 24), uint8_t(state->ssrc >> 16),
                                      uint8_t(state->ssrc >> 8), uint8_t(state->ssrc)};
    EXPECT_EQ(recorder.packets[0].bytes, bye);
}

TEST_F(Reports, PeriodicReportsAreSrCompoundThenRrCompound) {
    AddDestination(*state, kA, 40002);
    SendPeriodicReports(*state, recorder.Sink());
    ASSERT_EQ(recorder.packets.size(), 2u);
    const auto& sr = recorder.packets[0].bytes;
    const auto& rr = recorder.packets[1].bytes;
    ASSERT_EQ(sr.size(), 28u + 20u);
    EXPECT_EQ(sr[1], 200);
    EXPECT_EQ(sr[29], 202);
    ASSERT_EQ(rr.size(), 8u + 20u);
    EXPECT_EQ(rr[1], 201);
    EXPECT_EQ(rr[9], 202);
    EXPECT_EQ(common::GetBe32(&sr[8]), ToNtp(clock.wall).seconds);
    EXPECT_EQ(common::GetBe32(&sr[16]), NtpMiddle32(clock.wall));
}

TEST_F(Reports, ReportsGrowByOneBlockPerSource) {
    RtpFrom(kA, 40002, 0x11);
    RtpFrom(kB, 40002, 0x22);
    SendPeriodicReports(*state, recorder.Sink());
    ASSERT_EQ(recorder.packets.size(), 4u);  // two compounds to two sources
    EXPECT_EQ(recorder.packets[0].bytes.size(), 28u + 48u + 20u);
    EXPECT_EQ(recorder.packets[2].bytes.size(), 8u + 48u + 20u);
    EXPECT_EQ(common::GetBe32(&recorder.packets[0].bytes[28]), 0x11u);
    EXPECT_EQ(common::GetBe32(&recorder.packets[0].bytes[52]), 0x22u);
}

TEST_F(Reports, SenderCountersGoIntoTheSenderReport) {
    state->packetCount = 321;
    state->octetCount = 12840;
    const auto sr = BuildSrCompound(*state);
    EXPECT_EQ(common::GetBe32(&sr[20]), 321u);
    EXPECT_EQ(common::GetBe32(&sr[24]), 12840u);
    EXPECT_EQ(common::GetBe32(&sr[4]), state->ssrc);
}

}  // namespace
}  // namespace rtp
