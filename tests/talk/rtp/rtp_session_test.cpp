#include <gtest/gtest.h>

#include "audio/frame_block.h"
#include "talk/rtp/ipv4_text.h"
#include "talk/rtp/rtp_session.h"
#include "tests/support/rtp_packets.h"
#include "tests/support/manual_clock.h"
#include "tests/talk/rtp/rtp_test_support.h"

namespace rtp {
namespace {

// A 26-byte frame block whose 10 frame bytes are `fill`, as the capture queue holds it.
std::vector<uint8_t> VoiceBlock(uint32_t stamp, uint8_t fill) {
    std::vector<uint8_t> block(kFrameBlockHeaderSize + 10, fill);
    WriteFrameBlockHeader(block.data(), kFrameBlockTypeAudio, 10, stamp);
    return block;
}

// The groups due for playback now, one per source.
std::vector<FrameGroup> DueGroups(ReceiveStreams& streams) {
    ReceiveStreams::DueGroups due;
    const size_t n = streams.TakeDue(due);
    std::vector<FrameGroup> groups;
    for (size_t i = 0; i < n; ++i) groups.push_back(due[i].group);
    return groups;
}

// Two parties on one clock, each recording what it sends and with streams for playback.
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
    ReceiveStreams playbackA, playbackB;
    RtpSession a{sentByA.Sender(), playbackA, clock, "a@hostA"};
    RtpSession b{sentByB.Sender(), playbackB, clock, "b@hostB"};
};

TEST_F(TwoParties, VoiceReachesTheOtherSideAndBothSeeEachOther) {
    a.AddDestination("127.0.0.2", 40002);
    b.AddDestination("127.0.0.1", 40000);
    const std::vector<uint8_t> block = VoiceBlock(40, 0x42);
    for (int i = 0; i < 5; ++i) {
        a.SendVoice(block);
        clock.Advance(10'000);
    }
    ASSERT_EQ(sentByA.packets.size(), 5u);
    for (const SentPacket& s : sentByA.packets) {
        EXPECT_EQ(s.port, 40002u);
        b.ReceiveRtp(ipA, 40000, Bytes(s));
    }
    auto played = DueGroups(playbackB);  // three frames make one group
    ASSERT_EQ(played.size(), 1u);
    EXPECT_EQ(played[0].Lost(), 0);
    EXPECT_EQ(played[0].timeStamp, 40u);
    EXPECT_EQ(std::vector<uint8_t>(played[0].data.begin(), played[0].data.end()), std::vector<uint8_t>(30, 0x42));
    EXPECT_TRUE(DueGroups(playbackB).empty());  // two frames wait for a third

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
    b.ReceiveRtp(ipA, 40000, {});
    b.ReceiveRtcp(ipA, 40001, {});
    EXPECT_TRUE(sentByA.packets.empty());
    EXPECT_TRUE(b.Statistics().sources.empty());
}

// Outside a talk the session neither keeps destinations nor counts what arrives.
TEST_F(TwoParties, DestinationsCountOnlyDuringATalk) {
    test::RecordingSender sent;
    ReceiveStreams playback;
    RtpSession idle{sent.Sender(), playback, clock, "c@hostC"};
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

    idle.ReceiveRtp(ipA, 40000, support::VoicePacket(0x55, 1));
    idle.ReceiveRtcp(ipA, 40001, support::Bye({0x55}));
    EXPECT_TRUE(idle.Statistics().sources.empty());
    EXPECT_EQ(idle.Statistics().ssrc, 0u);
}

// Each source's frames make groups of their own, however the sources' packets
// interleave; a group left unfinished at the end of a talk is dropped, and the
// next talk starts a group of its own.
TEST_F(TwoParties, ReceivedFramesMakeThirtyMillisecondGroupsPerSource) {
    a.AddDestination("127.0.0.2", 40002);
    test::RecordingSender sentByC;
    ReceiveStreams playbackC;
    RtpSession c{sentByC.Sender(), playbackC, clock, "c@hostC"};
    clock.wall.microseconds += 1;
    c.Begin(40004);
    c.AddDestination("127.0.0.2", 40002);
    for (int i = 0; i < 3; ++i) {
        a.SendVoice(VoiceBlock(uint32_t(400 + 40 * i), uint8_t(1 + i)));
        c.SendVoice(VoiceBlock(uint32_t(900 + 40 * i), 7));
        b.ReceiveRtp(ipA, 40000, Bytes(sentByA.packets.back()));
        b.ReceiveRtp(ipA, 40004, Bytes(sentByC.packets.back()));
    }
    auto played = DueGroups(playbackB);
    ASSERT_EQ(played.size(), 2u);
    EXPECT_EQ(played[0].timeStamp, 400u);  // the first frame's stamp
    EXPECT_EQ(played[0].data[0], 1);
    EXPECT_EQ(played[0].data[10], 2);
    EXPECT_EQ(played[0].data[20], 3);
    EXPECT_EQ(played[1].timeStamp, 900u);
    EXPECT_EQ(std::vector<uint8_t>(played[1].data.begin(), played[1].data.end()), std::vector<uint8_t>(30, 7));

    a.SendVoice(VoiceBlock(520, 4));  // one frame of a new group
    b.ReceiveRtp(ipA, 40000, Bytes(sentByA.packets.back()));
    b.End();
    b.Begin(40002);
    for (int i = 0; i < 3; ++i) {
        a.SendVoice(VoiceBlock(uint32_t(1000 + 40 * i), 4));
        b.ReceiveRtp(ipA, 40000, Bytes(sentByA.packets.back()));
    }
    played = DueGroups(playbackB);
    ASSERT_EQ(played.size(), 1u);
    EXPECT_EQ(played[0].timeStamp, 1000u);
    EXPECT_TRUE(DueGroups(playbackB).empty());
}

}  // namespace
}  // namespace rtp