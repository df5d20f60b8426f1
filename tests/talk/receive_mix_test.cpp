// The receive rules and the mix, through the session's receive path and the
// playback feed: what is played is checked against each source's frames
// decoded by a decoder of its own in the order the rules say.
#include <gtest/gtest.h>

#include <algorithm>
#include <initializer_list>

#include "codec/codec.h"
#include "talk/rtp/rtp_session.h"
#include "talk/source_mixer.h"
#include "tests/support/manual_clock.h"
#include "tests/support/rtp_packets.h"
#include "tests/talk/rtp/rtp_test_support.h"
#include "tests/talk/voice_frames.h"

namespace {

using Block = std::array<int16_t, PlaybackFeed::kSamples>;
constexpr uint32_t kPeer = 0x0200000A;
constexpr int kLost = -1;  // a place played by concealment
constexpr int kSilent = -2;

// The expected playback of one source: its frames (or the places marked lost or
// silent) decoded in turn from the decoder's initial state.
class ExpectedSource {
public:
    explicit ExpectedSource(const std::vector<talktest::Frame>& frames) : frames_(frames) {}
    Block Group(std::initializer_list<int> places) {
        Block out{};
        int16_t* samples = out.data();
        for (int p : places) {
            if (p >= 0) decoder_.Decode(frames_[size_t(p)].data(), samples);
            else decoder_.Conceal(samples);
            if (p == kSilent) std::fill_n(samples, kSamplesPerFrame, int16_t(0));
            samples += kSamplesPerFrame;
        }
        return out;
    }

private:
    const std::vector<talktest::Frame>& frames_;
    SpeechDecoder decoder_;
};

class ReceivePath : public ::testing::Test {
protected:
    void SetUp() override { listener.Begin(40000); }

    void Deliver(uint32_t ssrc, std::initializer_list<int> sequence, const std::vector<talktest::Frame>& frames) {
        for (int s : sequence)
            listener.ReceiveRtp(kPeer, 50000, talktest::FramePacket(ssrc, uint16_t(s), frames[size_t(s)]));
    }
    void Deliver(std::initializer_list<int> sequence) { Deliver(0xA, sequence, speech); }
    std::optional<Block> Play() {
        Block out;
        if (!mixer.Fill(out)) return std::nullopt;
        return out;
    }
    rtp::StreamCounts Counts(uint32_t ssrc = 0xA) {
        for (const auto& s : listener.Statistics().sources) {
            if (s.ssrc == ssrc && s.playback) return *s.playback;
        }
        ADD_FAILURE() << "no playback counts of " << ssrc;
        return {};
    }

    const std::vector<talktest::Frame> speech = talktest::SpeechFrames(30, 8000);
    ExpectedSource expected{speech};
    support::ManualClock clock;
    rtp::ReceiveStreams streams;
    SourceMixer mixer{streams};
    rtp::test::RecordingSender sent;
    rtp::RtpSession listener{sent.Sender(), streams, clock, "l@h"};
};

TEST_F(ReceivePath, FramesArrivingEarlyWaitForTheirPlace) {
    Deliver({0, 2, 1, 4, 3});
    EXPECT_EQ(Play(), expected.Group({0, 1, 2}));
    EXPECT_FALSE(Play());  // 3 and 4 wait for 5
    Deliver({5});
    EXPECT_EQ(Play(), expected.Group({3, 4, 5}));
    EXPECT_EQ(Counts().concealed + Counts().late + Counts().duplicates, 0u);
}

TEST_F(ReceivePath, RepeatsAreDroppedWhetherWaitingOrPlayed) {
    Deliver({0, 1, 1, 2});
    EXPECT_EQ(Play(), expected.Group({0, 1, 2}));
    Deliver({2, 0, 3, 4, 4, 5});
    EXPECT_EQ(Play(), expected.Group({3, 4, 5}));
    EXPECT_EQ(Counts().duplicates, 4u);
    EXPECT_EQ(Counts().late, 0u);
}

TEST_F(ReceivePath, LostFrameIsConcealedInItsPlaceAndDroppedWhenItComesLate) {
    Deliver({0, 1, 2, 3, 5});
    EXPECT_EQ(Play(), expected.Group({0, 1, 2}));
    EXPECT_EQ(Play(), expected.Group({3, kLost, 5}));
    Deliver({4, 6, 7, 8});
    EXPECT_EQ(Play(), expected.Group({6, 7, 8}));
    EXPECT_EQ(Counts().concealed, 1u);
    EXPECT_EQ(Counts().late, 1u);
}

TEST_F(ReceivePath, LongGapEndsInSilenceAndAStoppedSourceAddsNothing) {
    Deliver({0, 1, 2});
    EXPECT_EQ(Play(), expected.Group({0, 1, 2}));
    Deliver({12, 13, 14});
    EXPECT_EQ(Play(), expected.Group({kLost, kLost, kLost}));
    EXPECT_EQ(Play(), expected.Group({kLost, kLost, kLost}));
    EXPECT_EQ(Play(), expected.Group({kSilent, kSilent, kSilent}));
    EXPECT_EQ(Play(), expected.Group({12, 13, 14}));
    EXPECT_FALSE(Play());
    EXPECT_EQ(Counts().concealed, 9u);
    // Playback that falls behind skips to the newest group; the gap before its frame is silent.
    Deliver({29});
    EXPECT_EQ(Play(), expected.Group({kSilent, kSilent, 29}));
}

TEST_F(ReceivePath, SourceLeavesOnGoodbyeOrAfterThreeSecondsOfNothing) {
    Deliver(0xA, {0, 1, 2}, speech);
    Deliver(0xB, {0}, speech);
    EXPECT_EQ(streams.SourceCount(), 2u);
    listener.ReceiveRtcp(kPeer, 50001, support::Bye({0xA}));
    EXPECT_EQ(streams.SourceCount(), 1u);
    EXPECT_FALSE(Play());  // A's group left with it
    for (int turn = 1; turn < rtp::ReceiveStreams::kDepartureBlocks; ++turn) Play();
    EXPECT_EQ(streams.SourceCount(), 1u);
    Play();
    EXPECT_EQ(streams.SourceCount(), 0u);
    // A returning source starts afresh, with a decoder of its own.
    Deliver(0xB, {3, 4, 5}, speech);
    ExpectedSource fresh(speech);
    EXPECT_EQ(Play(), fresh.Group({3, 4, 5}));
}

TEST_F(ReceivePath, SourcesAreDecodedApartAndSummedSaturating) {
    const auto loud = talktest::SpeechFrames(6, 30000);
    const auto quiet = talktest::SpeechFrames(6, 12000);
    ExpectedSource a(loud), c(quiet);
    int clipped = 0;
    for (const int first : {0, 3}) {
        const std::initializer_list<int> places = {first, first + 1, first + 2};
        Deliver(0xA, places, loud);
        Deliver(0xB, places, loud);
        Deliver(0xC, places, quiet);
        if (first == 0) Deliver(0xD, {0}, quiet);  // a lone frame: nothing due, adds nothing
        const Block one = a.Group(places), other = c.Group(places);
        Block sum;
        for (size_t i = 0; i < sum.size(); ++i) {
            const int v = 2 * one[i] + other[i];
            sum[i] = int16_t(std::clamp(v, -32768, 32767));
            clipped += v != sum[i];
        }
        EXPECT_EQ(Play(), sum);
    }
    EXPECT_GT(clipped, 0);  // the limits were reached
}

TEST_F(ReceivePath, EverySlotTakenLeavesANewSourceUnheardUntilOneLeaves) {
    for (uint32_t ssrc = 1; ssrc <= rtp::ReceiveStreams::kSlots; ++ssrc) Deliver(ssrc, {0}, speech);
    Deliver(0x99, {0, 1, 2}, speech);
    EXPECT_FALSE(Play());
    listener.ReceiveRtcp(kPeer, 50001, support::Bye({5}));
    Deliver(0x99, {3, 4, 5}, speech);
    ExpectedSource fresh(speech);
    EXPECT_EQ(Play(), fresh.Group({3, 4, 5}));
}

}  // namespace
