#include <gtest/gtest.h>

#include "talk/rtp/receive_stats.h"

namespace rtp {
namespace {

constexpr uint32_t kSsrc = 0x1234;
constexpr uint32_t kAddress = 0x0100007F;

class ReceiveStats : public ::testing::Test {
protected:
    SourceTable table{};
    uint32_t now = 0x10000;
    void Arrive(uint16_t seq, uint32_t ts = 0, uint32_t ssrc = kSsrc) {
        CountRtpPacket(table, {ssrc, seq, ts, kAddress, 40002, now});
    }
    const SourceStats& S() const { return table[0]; }
};

TEST_F(ReceiveStats, FirstPacketCreatesSourceWithAddressAndHostOrderPort) {
    Arrive(100, 777);
    EXPECT_EQ(S().ssrc, kSsrc);
    EXPECT_EQ(S().address, kAddress);
    EXPECT_EQ(S().port, 40002);
    EXPECT_EQ(S().highestSequence, 100);
    EXPECT_EQ(S().lastRtpTimeStamp, 777u);
    EXPECT_EQ(S().lastArrival, now);
    EXPECT_EQ(S().received, 1);
    EXPECT_EQ(S().expected, 1);
    EXPECT_EQ(S().lost, 0);
}

TEST_F(ReceiveStats, GapCountsTheMissingPackets) {
    Arrive(10);
    Arrive(14);
    EXPECT_EQ(S().lost, 3);
    EXPECT_EQ(S().expected, 5);
    EXPECT_EQ(S().received, 2);
    EXPECT_EQ(S().highestSequence, 14);
    EXPECT_EQ(S().totalLost, 3);
}

TEST_F(ReceiveStats, WrapWithGapOneCountsACycleAndNoLoss) {
    Arrive(65535);
    Arrive(0);
    EXPECT_EQ(S().cycles, 1u);
    EXPECT_EQ(S().lost, 0);
    EXPECT_EQ(S().expected, 2);
    EXPECT_EQ(S().highestSequence, 0);
}

TEST_F(ReceiveStats, WrapWithGapThreeCountsACycleAndTwoLost) {
    Arrive(65534);
    Arrive(1);
    EXPECT_EQ(S().cycles, 1u);
    EXPECT_EQ(S().lost, 2);
    EXPECT_EQ(S().expected, 4);
}

TEST_F(ReceiveStats, WrapWithGapTwoLosesOne) {
    Arrive(65535);
    Arrive(1);
    EXPECT_EQ(S().cycles, 1u);
    EXPECT_EQ(S().lost, 1);
}

TEST_F(ReceiveStats, DuplicateOfHighestChangesNothing) {
    Arrive(5);
    Arrive(6);
    const SourceStats before = S();
    now += 5000;
    Arrive(6, 999);
    EXPECT_EQ(S().received, before.received);
    EXPECT_EQ(S().lastArrival, before.lastArrival);
    EXPECT_EQ(S().jitter, before.jitter);
}

TEST_F(ReceiveStats, LatePacketFillsTheLossItLeft) {
    Arrive(5);
    Arrive(7);
    EXPECT_EQ(S().lost, 1);
    Arrive(6);
    EXPECT_EQ(S().lost, 0);
    EXPECT_EQ(S().received, 3);
    EXPECT_EQ(S().expected, 3);
    EXPECT_EQ(S().highestSequence, 7);
    EXPECT_EQ(S().totalLost, 0);
    EXPECT_EQ(S().totalReceived, 3u);
}

TEST_F(ReceiveStats, LateRepeatIsNotCountedTwice) {
    Arrive(5);
    Arrive(6);
    Arrive(7);
    Arrive(6);
    EXPECT_EQ(S().received, 3);
    EXPECT_EQ(S().lost, 0);
}

TEST_F(ReceiveStats, LatePacketFromBeforeTheWrapIsLateNotAHugeGap) {
    Arrive(65534);
    Arrive(0);
    Arrive(65535);
    EXPECT_EQ(S().cycles, 1u);
    EXPECT_EQ(S().lost, 0);
    EXPECT_EQ(S().expected, 3);
    EXPECT_EQ(S().received, 3);
    EXPECT_EQ(S().highestSequence, 0);
}

TEST_F(ReceiveStats, JitterFollowsTransitDifferences) {
    Arrive(0, 1000);
    now += 700;
    Arrive(1, 1655);  // transit grew by 45
    EXPECT_EQ(S().jitter, 45u);
    now += 600;
    Arrive(2, 2310);  // transit shrank by 55
    EXPECT_EQ(S().jitter, 55u + 15u * (45u / 16u));
}

TEST_F(ReceiveStats, SixteenSourcesThenFurtherOnesAreNotCounted) {
    for (uint32_t ssrc = 1; ssrc <= 16; ++ssrc) Arrive(0, 0, ssrc);
    Arrive(0, 0, 17);
    for (const SourceStats& s : table) EXPECT_NE(s.ssrc, 17u);
    Arrive(1, 0, 16);
    EXPECT_EQ(table[15].received, 2);
}

TEST_F(ReceiveStats, SsrcZeroIsNotTracked) {
    Arrive(0, 0, 0);
    EXPECT_FALSE(S().Used());
    EXPECT_EQ(S().received, 0);
}

}  // namespace
}  // namespace rtp
