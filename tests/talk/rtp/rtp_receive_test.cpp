#include <gtest/gtest.h>

#include "common/byte_order.h"
#include "talk/rtp/rtp_receive.h"
#include "tests/talk/rtp/rtp_test_support.h"

namespace rtp {
namespace {

// An RTP packet: header with `csrc` contributing sources, then `payload` bytes of 0x5A.
std::vector<uint8_t> Packet(uint16_t seq, uint32_t ssrc, size_t payload, uint8_t csrc = 0) {
    std::vector<uint8_t> p(12 + 4 * csrc, 0);
    p[0] = uint8_t(0x80 | csrc);
    p[1] = 0xE2;
    common::PutBe16(&p[2], seq);
    common::PutBe32(&p[4], 0xABCDEF01);
    common::PutBe32(&p[8], ssrc);
    p.insert(p.end(), payload, 0x5A);
    return p;
}

TEST(ParseRtp, PlainHeaderGivesPayloadAfterTwelveBytes) {
    const auto p = Packet(7, 99, 28);
    const auto span = ParseRtp(p.data(), p.size());
    ASSERT_TRUE(span);
    EXPECT_EQ(span->offset, 12u);
    EXPECT_EQ(span->length, 28u);
    EXPECT_EQ(span->info.sequence, 7);
    EXPECT_EQ(span->info.ssrc, 99u);
    EXPECT_EQ(span->info.timeStamp, 0xABCDEF01u);
    EXPECT_EQ(span->info.payloadType, 98);
    EXPECT_TRUE(span->info.marker);
}

TEST(ParseRtp, OneContributingSourceMovesPayloadToSixteen) {
    const auto p = Packet(1, 2, 20, 1);
    const auto span = ParseRtp(p.data(), p.size());
    ASSERT_TRUE(span);
    EXPECT_EQ(span->offset, 16u);
    EXPECT_EQ(span->length, 20u);
}

TEST(ParseRtp, ExtensionIsSkippedByItsLength) {
    auto p = Packet(1, 2, 0);
    p[0] |= 0x10;
    const uint8_t extension[] = {0xBE, 0xDE, 0x00, 0x02, 1, 2, 3, 4, 5, 6, 7, 8};
    p.insert(p.end(), std::begin(extension), std::end(extension));
    p.insert(p.end(), 26, 0x11);
    const auto span = ParseRtp(p.data(), p.size());
    ASSERT_TRUE(span);
    EXPECT_EQ(span->offset, 24u);
    EXPECT_EQ(span->length, 26u);
}

TEST(ParseRtp, PaddingCountIsTakenOffThePayload) {
    auto p = Packet(1, 2, 28);
    p[0] |= 0x20;
    p.back() = 4;
    const auto span = ParseRtp(p.data(), p.size());
    ASSERT_TRUE(span);
    EXPECT_EQ(span->length, 24u);
}

TEST(ParseRtp, LengthsThatRunPastTheDatagramAreRejected) {
    auto manyCsrc = Packet(1, 2, 8);
    manyCsrc[0] |= 0x0F;  // 60 bytes of contributing sources in a 20-byte datagram
    EXPECT_FALSE(ParseRtp(manyCsrc.data(), manyCsrc.size()));

    auto longExtension = Packet(1, 2, 8);
    longExtension[0] |= 0x10;
    common::PutBe16(&longExtension[14], 0xFFFF);
    EXPECT_FALSE(ParseRtp(longExtension.data(), longExtension.size()));

    auto noRoomForExtension = Packet(1, 2, 4, 1);  // extension header at 16..19 of 20 bytes
    noRoomForExtension[0] |= 0x10;
    common::PutBe16(&noRoomForExtension[18], 1);  // claims 4 more bytes that are not there
    EXPECT_FALSE(ParseRtp(noRoomForExtension.data(), noRoomForExtension.size()));

    auto bigPadding = Packet(1, 2, 8);
    bigPadding[0] |= 0x20;
    bigPadding.back() = 9;
    EXPECT_FALSE(ParseRtp(bigPadding.data(), bigPadding.size()));
}

TEST(ParseRtp, ShortOrWrongVersionIsRejected) {
    const auto p = Packet(1, 2, 4);
    EXPECT_FALSE(ParseRtp(p.data(), 15));
    EXPECT_TRUE(ParseRtp(p.data(), 16));
    auto v1 = Packet(1, 2, 8);
    v1[0] = 0x40;
    EXPECT_FALSE(ParseRtp(v1.data(), v1.size()));
    EXPECT_FALSE(ParseRtp(nullptr, 40));
}

struct HookCall {
    RtpPacketInfo info;
    std::vector<uint8_t> payload;
};

class RtpHandler : public ::testing::Test {
protected:
    test::FakeClock clock;
    std::unique_ptr<RtpSessionState> state = CreateState(40000, clock, 1, "u@h");
    std::vector<HookCall> calls;
    void SetUp() override {
        SetPayloadHook(*state, [](void* c, const RtpPacketInfo& info, const uint8_t* payload, size_t length) {
            static_cast<RtpHandler*>(c)->calls.push_back({info, {payload, payload + length}});
        }, this);
    }
};

TEST_F(RtpHandler, AcceptedPacketIsCountedAndItsPayloadHandedOn) {
    const auto p = Packet(3, 0x77, 28, 1);
    HandleRtp(state.get(), 0x0100007F, 40002, p.data(), p.size());
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].payload.size(), 28u);
    EXPECT_EQ(calls[0].info.address, 0x0100007Fu);
    EXPECT_EQ(calls[0].info.port, 40002);
    EXPECT_EQ(calls[0].info.ssrc, 0x77u);
    EXPECT_EQ(state->sources[0].ssrc, 0x77u);
    EXPECT_EQ(state->sources[0].port, 40002);  // as passed, not byte-swapped
    EXPECT_EQ(state->sources[0].lastArrival, NtpMiddle32(clock.wall));
}

TEST_F(RtpHandler, FifteenBytesAreDroppedBeforeTheStatistics) {
    const auto p = Packet(3, 0x77, 3);
    HandleRtp(state.get(), 1, 40002, p.data(), p.size());
    EXPECT_TRUE(calls.empty());
    EXPECT_FALSE(state->sources[0].Used());
}

TEST_F(RtpHandler, MalformedPacketTouchesNothing) {
    auto p = Packet(3, 0x77, 8);
    p[0] |= 0x0F;
    HandleRtp(state.get(), 1, 40002, p.data(), p.size());
    EXPECT_TRUE(calls.empty());
    EXPECT_FALSE(state->sources[0].Used());
}

TEST_F(RtpHandler, NullStateIsIgnored) {
    const auto p = Packet(3, 0x77, 28);
    HandleRtp(nullptr, 1, 40002, p.data(), p.size());
    EXPECT_TRUE(calls.empty());
}

}  // namespace
}  // namespace rtp
