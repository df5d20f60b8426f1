#include <gtest/gtest.h>

#include "audio/frame_block.h"
#include "talk/rtp/ipv4_text.h"
#include "talk/rtp/rtp_session.h"
#include "tests/support/rtp_packets.h"
#include "tests/support/manual_clock.h"
#include "tests/talk/rtp/rtp_test_support.h"

namespace rtp {
namespace {

// Two parties on one clock, each recording what it sends.
class TwoParties : public ::testing::Test {
protected:
    using SentPacket = test::SentPacket;
    static std::span<const uint8_t> Bytes(const SentPacket& p) { return p.bytes; }

    void SetUp() override {
        a.Begin(40000);
        clock.wall.microseconds += 1;  // a different SSRC seed
        b.Begin(40002);
    }

    support::ManualClock clock;
    test::RecordingSender sentByA, sentByB;
    const uint32_t ipA = Ipv4FromBytes(127, 0, 0, 1), ipB = Ipv4FromBytes(127, 0, 0, 2);
    RtpSession a{sentByA.Sender(), clock, "a@hostA"};
    RtpSession b{sentByB.Sender(), clock, "b@hostB"};
};

TEST_F(TwoParties, VoiceReachesTheOtherSideAndBothSeeEachOther) {
    a.AddDestination("127.0.0.2", 40002);
    b.AddDestination("127.0.0.1", 40000);
    std::vector<uint8_t> block(26, 0x42);
    WriteFrameBlockHeader(block.data(), kFrameBlockTypeAudio, 10, 40);
    for (int i = 0; i < 5; ++i) {
        a.SendVoice(block);
        clock.Advance(10'000);
    }
    ASSERT_EQ(sentByA.packets.size(), 5u);
    std::vector<std::vector<uint8_t>> voiceAtB;
    for (const SentPacket& s : sentByA.packets) {
        EXPECT_EQ(s.port, 40002u);
        const auto payload = b.ReceiveRtp(ipA, 40000, Bytes(s));
        voiceAtB.emplace_back(payload.begin(), payload.end());
    }
    EXPECT_EQ(voiceAtB[0].size(), 28u);  // the block and its two pad bytes
    EXPECT_TRUE(std::equal(block.begin(), block.end(), voiceAtB[0].begin()));

    a.SendSenderReport();
    for (const SentPacket& s : sentByA.packets) {
        if (s.isRtcp) b.ReceiveRtcp(ipA, 40001, Bytes(s));
    }
    clock.Advance(20'000);
    b.SendReceiverReport();
    ASSERT_FALSE(sentByB.packets.empty());
    EXPECT_EQ(sentByB.packets.back().port, 40001u);  // port + 1 of the source, kept in host order
    b.SendVoice(block);
    a.ReceiveRtp(ipB, 40002, Bytes(sentByB.packets.back()));
    for (const SentPacket& s : sentByB.packets) {
        if (s.isRtcp) a.ReceiveRtcp(ipB, 40003, Bytes(s));
    }

    const SessionStatistics atB = b.Statistics();
    ASSERT_EQ(atB.sources.size(), 1u);
    EXPECT_EQ(atB.sources[0].ssrc, a.Statistics().ssrc);
    EXPECT_EQ(atB.sources[0].packetsReceived, 5u);
    EXPECT_EQ(atB.sources[0].packetsLost, 0);
    EXPECT_EQ(atB.rtcpReceived[0], 1u);  // SR
    EXPECT_EQ(atB.rtcpReceived[2], 1u);  // SDES
    const SessionStatistics atA = a.Statistics();
    EXPECT_EQ(atA.packetsSent, 5u);
    EXPECT_EQ(atA.octetsSent, 200u);
    ASSERT_EQ(atA.sources.size(), 1u);
    EXPECT_TRUE(atA.sources[0].roundTripKnown);
}

TEST_F(TwoParties, ByeEndsVoiceToThatPeerAndKeepsItsStatistics) {
    a.AddDestination("127.0.0.2", 40002);
    b.AddDestination("127.0.0.1", 40000);
    std::vector<uint8_t> block(26, 0);
    b.SendVoice(block);
    a.ReceiveRtp(ipB, 40002, Bytes(sentByB.packets[0]));
    b.End();
    ASSERT_EQ(sentByB.packets.size(), 2u);
    EXPECT_EQ(sentByB.packets[1].bytes.size(), 8u);
    a.ReceiveRtcp(ipB, 40003, Bytes(sentByB.packets[1]));
    a.SendVoice(block);
    EXPECT_TRUE(sentByA.packets.empty());
    const SessionStatistics atA = a.Statistics();
    ASSERT_EQ(atA.sources.size(), 1u);
    EXPECT_TRUE(atA.sources[0].departed);
    EXPECT_EQ(atA.sources[0].packetsReceived, 1u);
    EXPECT_EQ(atA.rtcpReceived[3], 1u);
}

TEST_F(TwoParties, EmptyBlocksAndDatagramsAreIgnored) {
    a.AddDestination("127.0.0.2", 40002);
    a.SendVoice({});
    EXPECT_TRUE(b.ReceiveRtp(ipA, 40000, {}).empty());
    b.ReceiveRtcp(ipA, 40001, {});
    EXPECT_TRUE(sentByA.packets.empty());
    EXPECT_TRUE(b.Statistics().sources.empty());
}

// Outside a talk the session neither keeps destinations nor counts what arrives.
TEST_F(TwoParties, DestinationsCountOnlyDuringATalk) {
    test::RecordingSender sent;
    RtpSession idle{sent.Sender(), clock, "c@hostC"};
    idle.AddDestination("10.0.0.1", 5000);
    idle.Begin(40004);
    idle.AddDestination("10.0.0.2", 5002);
    idle.AddDestination(nullptr, 5004);
    idle.SendVoice(std::vector<uint8_t>(26, 0));
    idle.End();
    idle.AddDestination("10.0.0.3", 5006);
    idle.SendVoice(std::vector<uint8_t>(26, 0));
    ASSERT_EQ(sent.packets.size(), 2u);  // one voice packet, then the goodbye
    EXPECT_EQ(sent.packets[0].address, Ipv4FromBytes(10, 0, 0, 2));
    EXPECT_EQ(sent.packets[1].port, 5003);
    EXPECT_TRUE(sent.packets[1].isRtcp);

    const auto voice = support::VoicePacket(0x55, 1);
    EXPECT_TRUE(idle.ReceiveRtp(ipA, 40000, voice).empty());
    idle.ReceiveRtcp(ipA, 40001, support::Bye({0x55}));
    EXPECT_TRUE(idle.Statistics().sources.empty());
    EXPECT_EQ(idle.Statistics().ssrc, 0u);
}

}  // namespace
}  // namespace rtp
