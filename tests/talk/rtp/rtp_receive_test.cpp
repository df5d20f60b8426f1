#include <gtest/gtest.h>

#include "common/byte_order.h"
#include "talk/rtp/rtp_header.h"
#include "talk/rtp/rtp_receive.h"
#include "tests/support/rtp_packets.h"

namespace rtp {
namespace {

// An RTP packet: header with `csrc` contributing sources, then `payload` bytes of 0x5A.
std::vector<uint8_t> Packet(uint16_t seq, uint32_t ssrc, size_t payload, uint8_t csrc = 0) {
    auto p = support::RtpPacket({true, 98, seq, 0xABCDEF01, ssrc}, payload, 0x5A);
    p[0] |= csrc;
    p.insert(p.begin() + kRtpHeaderSize, 4 * csrc, 0);
    return p;
}

TEST(ParseRtp, PlainHeaderGivesPayloadAfterTwelveBytes) {
    // Written out byte by byte: the layout checked independently of the writer.
    std::vector<uint8_t> p = {0x80, 0xE2, 0x00, 0x07, 0xAB, 0xCD, 0xEF, 0x01, 0x00, 0x00, 0x00, 0x63};
    p.insert(p.end(), 28, 0x5A);
    const auto span = ParseRtp(p.data(), p.size());
    ASSERT_TRUE(span);
    EXPECT_EQ(span->offset, 12u);
    EXPECT_EQ(span->length, 28u);
    EXPECT_EQ(span->header.sequence, 7);
    EXPECT_EQ(span->header.ssrc, 99u);
    EXPECT_EQ(span->header.timeStamp, 0xABCDEF01u);
    EXPECT_EQ(span->header.payloadType, 98);
    EXPECT_TRUE(span->header.marker);
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

class RtpHandler : public ::testing::Test {
protected:
    RtpSessionState state = CreateState(40000, 1, "u@h");
    const uint32_t now = 0x6F804000;

    std::vector<uint8_t> Take(const std::vector<uint8_t>& packet, uint32_t address = 1) {
        const auto taken = TakeRtpPacket(state, address, 40002, now, packet);
        if (!taken) return {};
        return {taken->payload.begin(), taken->payload.end()};
    }
};

TEST_F(RtpHandler, AcceptedPacketIsCountedAndItsPayloadHandedOn) {
    const auto p = Packet(3, 0x77, 28, 1);
    EXPECT_EQ(Take(p, 0x0100007F), std::vector<uint8_t>(28, 0x5A));
    EXPECT_EQ(TakeRtpPacket(state, 1, 40002, now, p)->header.sequence, 3);
    EXPECT_EQ(state.sources[0].ssrc, 0x77u);
    EXPECT_EQ(state.sources[0].address, 0x0100007Fu);
    EXPECT_EQ(state.sources[0].port, 40002);  // as passed, not byte-swapped
    EXPECT_EQ(state.sources[0].highestSequence, 3);
    EXPECT_EQ(state.sources[0].lastArrival, now);
}

TEST_F(RtpHandler, FifteenBytesAreDroppedBeforeTheStatistics) {
    EXPECT_TRUE(Take(Packet(3, 0x77, 3)).empty());
    EXPECT_FALSE(state.sources[0].Used());
}

TEST_F(RtpHandler, MalformedPacketTouchesNothing) {
    auto p = Packet(3, 0x77, 8);
    p[0] |= 0x0F;
    EXPECT_TRUE(Take(p).empty());
    EXPECT_FALSE(state.sources[0].Used());
}

TEST_F(RtpHandler, EmptyDatagramIsIgnored) {
    EXPECT_FALSE(TakeRtpPacket(state, 1, 40002, now, {}));
    EXPECT_FALSE(state.sources[0].Used());
}

}  // namespace
}  // namespace rtp
