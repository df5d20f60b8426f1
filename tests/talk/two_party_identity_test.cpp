// One source whose packets arrive complete and in order, with the timing of a
// loaded network (jitter, stalls that leave playback without audio, bursts that
// put it more than four groups behind), plays sample for sample what it played
// before streams per source existed: groups of three frames in arrival order in
// a playback queue whose reader lags at most 4 blocks, decoded by the
// process-wide decoder. Both players run on hand-driven devices, in step.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "audio/buffer_monitor.h"
#include "audio/wave_out.h"
#include "talk/rtp/rtp_session.h"
#include "talk/source_mixer.h"
#include "tests/support/manual_clock.h"
#include "tests/support/sleepers.h"
#include "tests/support/wave_fakes.h"
#include "tests/talk/rtp/rtp_test_support.h"
#include "tests/talk/voice_frames.h"

namespace {

constexpr int kFrames = 1200;  // 12 s of talk
constexpr uint32_t kSsrc = 0x5A5A;

// When each packet reaches the host, in ms; in order, sent every 10 ms.
std::vector<int> ArrivalTimes() {
    std::mt19937 random(29);
    std::vector<int> at(kFrames);
    int last = 0;
    for (int i = 0; i < kFrames; ++i) {
        int delay = int(random() % 25);
        // Stalls of 40 to 280 ms: playback runs dry, then a burst puts it up to
        // nine groups behind, around the reader lag.
        if (i % 60 == 30) delay = 40 + int(random() % 240);
        last = std::max(last, 10 * i + delay);
        at[size_t(i)] = last;
    }
    return at;
}

struct Player {
    std::shared_ptr<ManualWaveFactory> factory = std::make_shared<ManualWaveFactory>();
    support::NoSleeper noSleep;
    CWaveOut waveOut{{factory, &noSleep}};

    // The device finishes its oldest buffer; the refill is what plays 240 ms later.
    std::vector<uint8_t> Turn() {
        WaveBuffer* b = factory->log->ReturnOldest(kWomDone, 0);
        return {b->data, b->data + b->length};
    }
};

TEST(TwoPartyIdentity, OneSourceInOrderPlaysAsThePlaybackQueueDid) {
    const auto frames = talktest::SpeechFrames(kFrames, 9000);
    const auto arrivals = ArrivalTimes();

    support::ManualClock clock;
    rtp::ReceiveStreams streams;
    SourceMixer mix(streams);
    rtp::test::RecordingSender sent;
    rtp::RtpSession session(sent.Sender(), streams, clock, "l@h");
    session.Begin(40000);
    Player now;
    now.waveOut.SetFeed(&mix);
    now.waveOut.Start();

    CBufferMonitor queue;
    queue.SetMaxReaderLag(4);
    Player before;
    before.waveOut.SetSource(&queue);
    before.waveOut.Start();
    std::vector<uint8_t> group;

    std::vector<uint8_t> playedNow, playedBefore;
    size_t next = 0;
    int silentTurns = 0;
    for (int t = 7; next < frames.size() || t < arrivals.back() + 300; t += 30) {
        for (; next < frames.size() && arrivals[next] <= t; ++next) {
            session.ReceiveRtp(0x0100007F, 50000, talktest::FramePacket(kSsrc, uint16_t(next), frames[next]));
            group.insert(group.end(), frames[next].begin(), frames[next].end());
            if (group.size() < 30) continue;
            queue.PushFrame(group.data(), 30, 0);
            group.clear();
        }
        const auto a = now.Turn(), b = before.Turn();
        playedNow.insert(playedNow.end(), a.begin(), a.end());
        playedBefore.insert(playedBefore.end(), b.begin(), b.end());
        silentTurns += std::all_of(b.begin(), b.end(), [](uint8_t x) { return x == 0; });
    }
    ASSERT_EQ(playedNow.size(), playedBefore.size());
    EXPECT_TRUE(playedNow == playedBefore);
    // The timing did what it was meant to: gaps in playback, and groups skipped.
    const size_t turns = playedBefore.size() / CWaveOut::kBufferSize;
    EXPECT_GT(silentTurns, 15);
    EXPECT_LT(turns - size_t(silentTurns), size_t(kFrames / 3 - 10));
    now.waveOut.Stop();
    before.waveOut.Stop();
}

}  // namespace
