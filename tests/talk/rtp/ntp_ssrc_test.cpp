#include <gtest/gtest.h>

#include "talk/rtp/ipv4_text.h"
#include "talk/rtp/ntp_time.h"
#include "talk/rtp/ssrc.h"
#include "tests/support/manual_clock.h"

namespace rtp {
namespace {

TEST(NtpTime, FullTimestampCountsFrom1900WithBinaryFraction) {
    const NtpTimestamp ntp = ToNtp({1'700'000'000, 250'000});
    EXPECT_EQ(ntp.seconds, 3'908'988'800u);
    EXPECT_EQ(ntp.fraction, 0x40000000u);
}

TEST(NtpTime, Middle32KeepsLow16SecondBitsAndHigh16FractionBits) {
    EXPECT_EQ(NtpMiddle32({1'700'000'000, 500'000}), 0x6F808000u);
    EXPECT_EQ(NtpMiddle32({1'700'000'000, 0}), 0x6F800000u);
    EXPECT_EQ(NtpMiddle32({1'700'000'001, 999'999}), 0x6F81FFFFu);
}

TEST(NtpTime, NowTimeAnchorsWallTimeOnceThenFollowsMonotonicClock) {
    support::ManualClock fake;
    RtpClock clock(fake);
    const platform::WallTime first = clock.NowTime();
    EXPECT_EQ(first.seconds, fake.wall.seconds);
    EXPECT_EQ(first.microseconds, fake.wall.microseconds);
    fake.wall.seconds += 3600;  // the system time is set: no jump
    fake.Advance(1'800'000);
    const platform::WallTime later = clock.NowTime();
    EXPECT_EQ(later.seconds, first.seconds + 2);
    EXPECT_EQ(later.microseconds, 50'000);
}

TEST(Ssrc, ThreeFifteenBitDrawsAreCombinedShiftedAndDoubled) {
    // The generator's first three draws from seed 1 are 16838, 5758 and 10113.
    EXPECT_EQ(DrawSsrc(1), (2u * 16838) ^ ((2u * 5758) << 8) ^ ((2u * 10113) << 16));
    EXPECT_EQ(DrawSsrc(12345), 0xAC84AFB8u);
}

TEST(Ssrc, SameSeedSameSsrcAndSeedDependsOnMicroseconds) {
    EXPECT_EQ(DrawSsrc(77), DrawSsrc(77));
    EXPECT_NE(SsrcSeed({1'700'000'000, 1}), SsrcSeed({1'700'000'000, 2}));
    for (uint32_t seed = 0; seed < 2000; ++seed) {
        const uint32_t ssrc = DrawSsrc(seed);
        EXPECT_NE(ssrc, 0u);
        EXPECT_EQ(ssrc & 1u, 0u);
    }
}

TEST(Ipv4Text, DottedDecimalBecomesNetworkOrderBytes) {
    const auto address = ParseIpv4("192.168.1.20");
    ASSERT_TRUE(address);
    const auto* bytes = reinterpret_cast<const uint8_t*>(&*address);
    EXPECT_EQ(bytes[0], 192);
    EXPECT_EQ(bytes[1], 168);
    EXPECT_EQ(bytes[2], 1);
    EXPECT_EQ(bytes[3], 20);
    EXPECT_EQ(*ParseIpv4("255.255.255.255"), 0xFFFFFFFFu);
    EXPECT_EQ(*ParseIpv4("0.0.0.0"), 0u);
}

TEST(Ipv4Text, AnythingElseIsRejected) {
    for (const char* bad : {"", "1.2.3", "1.2.3.4.5", "256.1.1.1", "1..2.3", "a.b.c.d", "1.2.3.4 ",
                            "1.2.3.-4", "0001.2.3.4", "host.example"})
        EXPECT_FALSE(ParseIpv4(bad)) << bad;
    EXPECT_FALSE(ParseIpv4(nullptr));
}

}  // namespace
}  // namespace rtp
