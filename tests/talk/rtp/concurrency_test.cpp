#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "talk/rtp/ipv4_text.h"
#include "talk/rtp/rtp_session.h"
#include "tests/support/manual_clock.h"
#include "tests/talk/rtp/rtp_test_support.h"

namespace rtp {
namespace {

// The send thread sends voice and reports while the host thread adds and removes
// destinations and delivers datagrams; run under the thread sanitizer this shows
// whether the session's data is shared safely.
TEST(SharedSession, SendThreadAndHostThreadUseItTogether) {
    support::ManualClock clock;  // read from both threads, moved by neither
    std::atomic<int> delivered{0};
    ReceiveStreams playback, peerPlayback;
    RtpSession session([&](uint32_t, uint16_t, std::span<const uint8_t>, bool) { ++delivered; }, playback, clock,
                       "u@h");
    test::RecordingSender fromPeer;
    RtpSession peer(fromPeer.Sender(), peerPlayback, clock, "p@h");
    session.Begin(40000);
    peer.Begin(50000);
    constexpr int kRounds = 2000;
    session.AddDestination("10.0.0.3", 60000);  // always there, whatever the host thread does
    std::thread sender([&] {
        const std::vector<uint8_t> block(26, 0);
        for (int i = 0; i < kRounds; ++i) {
            session.SendVoice(block);
            if (i % 100 == 0) {
                session.SendSenderReport();
                session.SendReceiverReport();
            }
        }
    });
    peer.AddDestination("10.0.0.1", 40000);
    const std::vector<uint8_t> block(26, 0);
    const uint32_t peerAddress = Ipv4FromBytes(10, 0, 0, 2);
    for (int i = 0; i < kRounds; ++i) {
        session.AddDestination("10.0.0.2", 50000);
        peer.SendVoice(block);
        session.ReceiveRtp(peerAddress, 50000, fromPeer.packets.back().bytes);
        if (i % 100 == 0) {
            peer.SendReceiverReport();
            session.ReceiveRtcp(peerAddress, 50001, fromPeer.packets.back().bytes);
        }
        session.RemoveDestination("10.0.0.2", 50000);
    }
    sender.join();
    const SessionStatistics stats = session.Statistics();
    EXPECT_EQ(stats.packetsSent, uint32_t(kRounds));
    ASSERT_EQ(stats.sources.size(), 1u);
    EXPECT_EQ(stats.sources[0].packetsReceived, uint32_t(kRounds));
    EXPECT_GE(delivered, kRounds);
}

}  // namespace
}  // namespace rtp
