#include <gtest/gtest.h>

#include <numeric>

#include "audio/frame_block.h"
#include "common/byte_order.h"
#include "talk/rtp/ipv4_text.h"
#include "talk/rtp/rtp_session.h"
#include "tests/support/manual_clock.h"
#include "tests/talk/rtp/rtp_test_support.h"

namespace rtp {
namespace {

class VoiceSend : public ::testing::Test {
protected:
    using SentPacket = test::SentPacket;

    void SetUp() override { session.Begin(40000); }

    std::vector<uint8_t> VoiceBlock(uint32_t stamp) {
        std::vector<uint8_t> block(26);
        WriteFrameBlockHeader(block.data(), kFrameBlockTypeAudio, 10, stamp);
        std::iota(block.begin() + 16, block.end(), uint8_t(0xA0));
        return block;
    }
    void Send(const std::vector<uint8_t>& block) { session.SendVoice(block); }
    const std::vector<SentPacket>& Packets() const { return recorder.packets; }

    support::ManualClock clock;
    test::RecordingSender recorder;
    ReceiveStreams playback;
    RtpSession session{recorder.Sender(), playback, clock, "u@h"};
};

TEST_F(VoiceSend, NormalVoicePacketIsFortyBytesByteForByte) {
    session.AddDestination("127.0.0.1", 40002);
    Send(VoiceBlock(0x01020304));
    ASSERT_EQ(Packets().size(), 1u);
    const uint32_t ts = NtpMiddle32(clock.wall);
    const uint32_t ssrc = session.Statistics().ssrc;
    const std::vector<uint8_t> expected = {
        0x80, 0xE2, 0x00, 0x00,
        uint8_t(ts >> 24), uint8_t(ts >> 16), uint8_t(ts >> 8), uint8_t(ts),
        uint8_t(ssrc >> 24), uint8_t(ssrc >> 16), uint8_t(ssrc >> 8), uint8_t(ssrc),
        'Z', 'I', 'R', 'O', '_', '0', 0x00, 0x61, 0x0A, 0x00, 0x00, 0x00, 0x04, 0x03, 0x02, 0x01,
        0xA0, 0xA1, 0xA2, 0xA3, 0xA4, 0xA5, 0xA6, 0xA7, 0xA8, 0xA9, 0x00, 0x00};
    EXPECT_EQ(Packets()[0].bytes, expected);
    EXPECT_FALSE(Packets()[0].isRtcp);
    EXPECT_EQ(Packets()[0].address, *ParseIpv4("127.0.0.1"));
    EXPECT_EQ(Packets()[0].port, 40002);
}

TEST_F(VoiceSend, SequenceStartsAtZeroAndWrapsAfter65535) {
    session.AddDestination("127.0.0.1", 40002);
    for (int i = 0; i < 65537; ++i) Send(VoiceBlock(0));
    ASSERT_EQ(Packets().size(), 65537u);
    const size_t at[] = {0, 65534, 65535, 65536};
    const uint16_t expected[] = {0, 65534, 65535, 0};
    for (size_t i = 0; i < 4; ++i) EXPECT_EQ(common::GetBe16(&Packets()[at[i]].bytes[2]), expected[i]) << i;
}

TEST_F(VoiceSend, TimeStampIsMiddle32OfTheBuildMoment) {
    session.AddDestination("127.0.0.1", 40002);
    Send(VoiceBlock(0));
    clock.Advance(10'000);
    Send(VoiceBlock(40));
    const uint32_t first = common::GetBe32(&Packets()[0].bytes[4]);
    const uint32_t second = common::GetBe32(&Packets()[1].bytes[4]);
    EXPECT_EQ(first, NtpMiddle32(clock.wall));
    EXPECT_EQ(second - first, 655u);  // 10 ms in 1/65536 s, truncated
}

TEST_F(VoiceSend, ExactlyOneKilobyteIsOneFragmentWithoutMarker) {
    session.AddDestination("127.0.0.1", 40002);
    std::vector<uint8_t> block(1024, 0x33);
    Send(block);
    ASSERT_EQ(Packets().size(), 1u);
    EXPECT_EQ(Packets()[0].bytes.size(), 1036u);
    EXPECT_EQ(Packets()[0].bytes[1], 0x62);
}

TEST_F(VoiceSend, OneByteMoreMakesASecondFragmentWithMarker) {
    session.AddDestination("127.0.0.1", 40002);
    std::vector<uint8_t> block(1025, 0x33);
    block[1024] = 0x77;
    Send(block);
    ASSERT_EQ(Packets().size(), 2u);
    EXPECT_EQ(Packets()[0].bytes.size(), 1036u);
    EXPECT_EQ(Packets()[0].bytes[1], 0x62);
    const std::vector<uint8_t>& last = Packets()[1].bytes;
    ASSERT_EQ(last.size(), 16u);
    EXPECT_EQ(last[1], 0xE2);
    EXPECT_EQ(common::GetBe16(&last[2]), 1);
    EXPECT_EQ(last[12], 0x77);
    EXPECT_EQ(last[13], 0);
    EXPECT_EQ(last[15], 0);
    EXPECT_EQ(session.Statistics().packetsSent, 2u);
    EXPECT_EQ(session.Statistics().octetsSent, 1036u + 16u);
}

TEST_F(VoiceSend, MultipleOfOneKilobyteCarriesNoMarkerAtAll) {
    session.AddDestination("127.0.0.1", 40002);
    Send(std::vector<uint8_t>(2048, 1));
    ASSERT_EQ(Packets().size(), 2u);
    EXPECT_EQ(Packets()[0].bytes[1] & 0x80, 0);
    EXPECT_EQ(Packets()[1].bytes[1] & 0x80, 0);
}

TEST_F(VoiceSend, ThreeDestinationsGetEachPacketButItCountsOnce) {
    session.AddDestination("10.0.0.1", 5000);
    session.AddDestination("10.0.0.2", 5002);
    session.AddDestination("10.0.0.3", 5004);
    Send(VoiceBlock(0));
    ASSERT_EQ(Packets().size(), 3u);
    const uint16_t ports[] = {5000, 5002, 5004};
    for (size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(Packets()[i].address, Ipv4FromBytes(10, 0, 0, uint8_t(i + 1)));
        EXPECT_EQ(Packets()[i].port, ports[i]);
        EXPECT_FALSE(Packets()[i].isRtcp);
        EXPECT_EQ(Packets()[i].bytes, Packets()[0].bytes);
    }
    EXPECT_EQ(session.Statistics().packetsSent, 1u);
    EXPECT_EQ(session.Statistics().octetsSent, 40u);
}

TEST_F(VoiceSend, WithoutDestinationsPacketsAreStillBuiltAndCounted) {
    Send(VoiceBlock(0));
    Send(VoiceBlock(40));
    EXPECT_TRUE(Packets().empty());
    EXPECT_EQ(session.Statistics().packetsSent, 2u);
    EXPECT_EQ(session.Statistics().octetsSent, 80u);
    session.AddDestination("127.0.0.1", 40002);
    Send(VoiceBlock(80));
    EXPECT_EQ(common::GetBe16(&Packets()[0].bytes[2]), 2);  // the sequence went on
}

}  // namespace
}  // namespace rtp
