#include <gtest/gtest.h>

#include <thread>

#include "talk/rtp/rtcp_receive.h"
#include "talk/rtp/rtcp_send.h"
#include "talk/rtp/rtp_receive.h"
#include "talk/rtp/rtp_send.h"
#include "talk/rtp/session_statistics.h"
#include "tests/talk/rtp/rtp_test_support.h"

namespace rtp {
namespace {

// The clock of a shared session is read from both threads.
class SteadyClock final : public platform::Clock {
public:
    uint64_t MonotonicMicros() override { return 1000; }
    platform::WallTime WallNow() override { return {1'700'000'000, 0}; }
};

// The send thread sends voice and reports while the host thread adds and removes
// destinations and delivers datagrams; run under the thread sanitizer this shows
// whether the session's data is shared safely.
TEST(SharedSession, SendThreadAndHostThreadUseItTogether) {
    SteadyClock clock;
    auto state = CreateState(40000, clock, 3, "u@h");
    auto peer = CreateState(50000, clock, 4, "p@h");
    int delivered = 0;
    const PacketSink sink{[](void* c, uint32_t, uint16_t, const uint8_t*, int32_t, int32_t) { ++*static_cast<int*>(c); },
                          &delivered};
    constexpr int kRounds = 2000;
    AddDestination(*state, 0x0300000Au, 60000);  // always there, whatever the host thread does
    std::thread sender([&] {
        const std::vector<uint8_t> block(26, 0);
        for (int i = 0; i < kRounds; ++i) {
            SendVoice(*state, block.data(), block.size(), sink);
            if (i % 100 == 0) SendPeriodicReports(*state, sink);
        }
    });
    test::RecordingSink fromPeer;
    AddDestination(*peer, 1u, 40000);
    const std::vector<uint8_t> block(26, 0);
    for (int i = 0; i < kRounds; ++i) {
        AddDestination(*state, 0x0200000Au, 50000);
        SendVoice(*peer, block.data(), block.size(), fromPeer.Sink());
        HandleRtp(state.get(), 0x0200000A, 50000, fromPeer.packets.back().bytes.data(), 40);
        if (i % 100 == 0) {
            const auto rr = BuildRrCompound(*peer);
            HandleRtcp(state.get(), 0x0200000A, 50001, rr.data(), rr.size());
        }
        RemoveDestination(*state, 0x0200000Au, 50000);
    }
    sender.join();
    const SessionStatistics stats = ReadStatistics(*state);
    EXPECT_EQ(stats.packetsSent, uint32_t(kRounds));
    ASSERT_EQ(stats.sources.size(), 1u);
    EXPECT_EQ(stats.sources[0].packetsReceived, uint32_t(kRounds));
    EXPECT_GE(delivered, kRounds);
}

}  // namespace
}  // namespace rtp
