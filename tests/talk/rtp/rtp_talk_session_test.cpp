#include <gtest/gtest.h>

#include "audio/frame_block.h"
#include "talk/rtp/ipv4_text.h"
#include "talk/rtp/rtp_talk_session.h"
#include "tests/talk/rtp/rtp_test_support.h"

namespace rtp {
namespace {

struct Sent {
    uint32_t ip;
    uint32_t port;
    std::vector<uint8_t> bytes;
    bool isRtcp;
};

// Two parties on one clock, each recording what it sends and what voice it receives.
class TwoParties : public ::testing::Test {
protected:
    test::FakeClock clock;
    std::vector<Sent> sentByA, sentByB;
    std::vector<std::vector<uint8_t>> voiceAtB;
    const uint32_t ipA = Ipv4FromBytes(127, 0, 0, 1), ipB = Ipv4FromBytes(127, 0, 0, 2);

    static TalkSessionSetup Setup(uint16_t port, std::vector<Sent>& sent, std::vector<std::vector<uint8_t>>* voice) {
        TalkSessionSetup setup;
        setup.port = port;
        setup.send = [&sent](uint32_t ip, uint32_t port, const uint8_t* data, int32_t length, bool isRtcp) {
            sent.push_back({ip, port, {data, data + length}, isRtcp});
        };
        if (voice) setup.deliverVoice = [voice](const uint8_t* p, int32_t n) { voice->emplace_back(p, p + n); };
        return setup;
    }
    RtpTalkSession a{Setup(40000, sentByA, nullptr), clock, 1, "a@hostA"};
    RtpTalkSession b{Setup(40002, sentByB, &voiceAtB), clock, 2, "b@hostB"};
};

TEST_F(TwoParties, VoiceReachesTheOtherSideAndBothSeeEachOther) {
    a.AddDestination("127.0.0.2", 40002);
    b.AddDestination("127.0.0.1", 40000);
    std::vector<uint8_t> block(26, 0x42);
    WriteFrameBlockHeader(block.data(), kFrameBlockTypeAudio, 10, 40);
    for (int i = 0; i < 5; ++i) {
        a.SendVoice(block.data(), int32_t(block.size()));
        clock.Advance(10'000);
    }
    ASSERT_EQ(sentByA.size(), 5u);
    for (const Sent& s : sentByA) {
        EXPECT_EQ(s.port, 40002u);
        b.OnRtp(ipA, 40000, s.bytes.data(), int32_t(s.bytes.size()));
    }
    ASSERT_EQ(voiceAtB.size(), 5u);
    EXPECT_EQ(voiceAtB[0].size(), 28u);  // the block and its two pad bytes
    EXPECT_TRUE(std::equal(block.begin(), block.end(), voiceAtB[0].begin()));

    a.SendSenderReport();
    for (const Sent& s : sentByA) {
        if (s.isRtcp) b.OnRtcp(ipA, 40001, s.bytes.data(), int32_t(s.bytes.size()));
    }
    clock.Advance(20'000);
    b.SendReceiverReport();
    ASSERT_FALSE(sentByB.empty());
    EXPECT_EQ(sentByB.back().port, 40001u);  // port + 1 of the source, kept in host order
    b.SendVoice(block.data(), int32_t(block.size()));
    a.OnRtp(ipB, 40002, sentByB.back().bytes.data(), int32_t(sentByB.back().bytes.size()));
    for (const Sent& s : sentByB) {
        if (s.isRtcp) a.OnRtcp(ipB, 40003, s.bytes.data(), int32_t(s.bytes.size()));
    }

    const SessionStatistics atB = b.Statistics();
    ASSERT_EQ(atB.sources.size(), 1u);
    EXPECT_EQ(atB.sources[0].ssrc, a.State().ssrc);
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
    b.SendVoice(block.data(), 26);
    a.OnRtp(ipB, 40002, sentByB[0].bytes.data(), 40);
    b.SendBye();
    ASSERT_EQ(sentByB.size(), 2u);
    EXPECT_EQ(sentByB[1].bytes.size(), 8u);
    a.OnRtcp(ipB, 40003, sentByB[1].bytes.data(), 8);
    a.SendVoice(block.data(), 26);
    EXPECT_TRUE(sentByA.empty());
    const SessionStatistics atA = a.Statistics();
    ASSERT_EQ(atA.sources.size(), 1u);
    EXPECT_TRUE(atA.sources[0].departed);
    EXPECT_EQ(atA.sources[0].packetsReceived, 1u);
    EXPECT_EQ(atA.rtcpReceived[3], 1u);
}

TEST_F(TwoParties, NegativeOrZeroLengthsAreIgnored) {
    a.AddDestination("127.0.0.2", 40002);
    uint8_t byte = 0;
    a.SendVoice(&byte, 0);
    a.SendVoice(&byte, -5);
    b.OnRtp(ipA, 40000, &byte, -1);
    b.OnRtcp(ipA, 40001, &byte, -1);
    EXPECT_TRUE(sentByA.empty());
    EXPECT_TRUE(b.Statistics().sources.empty());
}

}  // namespace
}  // namespace rtp
