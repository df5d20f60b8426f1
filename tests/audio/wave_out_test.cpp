#include "audio/wave_out.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <vector>

#include "audio/buffer_monitor.h"
#include "audio/virtual/virtual_wave_devices.h"
#include "codec/codec.h"
#include "tests/support/sleepers.h"
#include "tests/support/wave_fakes.h"

namespace {

bool Silent(const uint8_t* data, size_t size) {
    return std::all_of(data, data + size, [](uint8_t b) { return b == 0; });
}

// Three speech frames of a tone, as the far end would send them.
std::array<uint8_t, 30> ToneBlock() {
    std::array<uint8_t, 30> block{};
    for (int frame = 0; frame < 3; ++frame) {
        int16_t samples[kSamplesPerFrame];
        for (int i = 0; i < kSamplesPerFrame; ++i) samples[i] = int16_t(((frame * 80 + i) % 20 < 10) ? 6000 : -6000);
        EncodeFrame(samples, block.data() + 10 * frame);
    }
    return block;
}

// CWaveOut over a device the test returns buffers from by hand.
class WaveOutManualTest : public ::testing::Test {
protected:
    void StartPlaying() {
        waveOut.SetSource(&queue);
        waveOut.Start();
    }
    // The device finishes the oldest buffer, scribbled over as played.
    WaveBuffer* Finish() {
        std::memset(log.queued.front()->data, 0x55, log.queued.front()->length);
        return log.ReturnOldest(kWomDone, 0);
    }

    std::shared_ptr<ManualWaveFactory> factory = std::make_shared<ManualWaveFactory>();
    ManualDeviceLog& log = *factory->log;
    support::RecordingSleeper sleeper{factory->log->calls};
    CBufferMonitor queue;
    CWaveOut waveOut{{factory, &sleeper}};
};

TEST_F(WaveOutManualTest, WithoutSourceStartDoesNothing) {
    waveOut.Start();
    EXPECT_EQ(factory->created, 0);
    EXPECT_FALSE(waveOut.Playing());
}

TEST_F(WaveOutManualTest, StartPreparesAllEightThenWritesThemInOrderAsSilence) {
    StartPlaying();
    const std::vector<std::string> calls = log.calls.Events();
    ASSERT_EQ(calls.size(), 1u + 8 + 8);
    EXPECT_EQ(calls[0], "Open");
    for (size_t i = 1; i <= 8; ++i) EXPECT_EQ(calls[i], "Prepare");
    for (size_t i = 9; i <= 16; ++i) EXPECT_EQ(calls[i], "Write");
    ASSERT_EQ(log.queued.size(), 8u);
    for (WaveBuffer* b : log.queued) {
        EXPECT_EQ(b->length, 480u);
        EXPECT_TRUE(Silent(b->data, 480));
    }
    EXPECT_TRUE(waveOut.Playing());
}

TEST_F(WaveOutManualTest, UnderrunRefillsWithSilenceAndKeepsTheBufferCirculating) {
    StartPlaying();
    log.calls.Clear();
    WaveBuffer* buffer = Finish();
    EXPECT_TRUE(Silent(buffer->data, 480));
    EXPECT_EQ(log.calls.Events(), (std::vector<std::string>{"Unprepare", "Prepare", "Write"}));
    EXPECT_EQ(log.queued.back(), buffer);
    EXPECT_EQ(log.queued.size(), 8u);
}

TEST_F(WaveOutManualTest, AWholeBlockIsDecodedAndAWrongLengthReplaysThePreviousAudio) {
    StartPlaying();
    const auto block = ToneBlock();
    std::vector<uint8_t> longer(block.begin(), block.end());
    longer.push_back(0x42);
    queue.PushFrame(block.data(), 30, 0);
    queue.PushFrame(block.data(), 20, 0);
    queue.PushFrame(longer.data(), 31, 0);
    WaveBuffer* decoded = Finish();
    EXPECT_FALSE(Silent(decoded->data, 480));
    std::vector<uint8_t> first(decoded->data, decoded->data + 480);
    WaveBuffer* replay = Finish();
    EXPECT_TRUE(std::equal(first.begin(), first.end(), replay->data));
    WaveBuffer* replayAgain = Finish();
    EXPECT_TRUE(std::equal(first.begin(), first.end(), replayAgain->data));
}

TEST_F(WaveOutManualTest, AWrongLengthBlockBeforeAnyAudioPlaysSilence) {
    StartPlaying();
    const std::array<uint8_t, 20> odd{1, 2, 3};
    queue.PushFrame(odd.data(), 20, 0);
    EXPECT_TRUE(Silent(Finish()->data, 480));
}

TEST_F(WaveOutManualTest, ABlockOverFiveHundredTwelveBytesIsNoBlock) {
    StartPlaying();
    const auto block = ToneBlock();
    queue.PushFrame(block.data(), 30, 0);
    Finish();
    std::vector<uint8_t> big(513, 0x11);
    queue.PushFrame(big.data(), uint32_t(big.size()), 0);
    EXPECT_TRUE(Silent(Finish()->data, 480));
}

TEST_F(WaveOutManualTest, StopWaitsASecondThenUnpreparesClosesAndFreesTheReader) {
    for (int i = 0; i < 6; ++i) queue.OpenReader();
    StartPlaying();
    EXPECT_EQ(queue.OpenReader(), nullptr);  // the seventh slot is the player's
    log.calls.Clear();
    waveOut.Stop();
    ASSERT_EQ(log.calls.Events().size(), 1u + 1 + 8 + 1);
    EXPECT_EQ(log.calls.Events()[0], "sleep 1000");
    EXPECT_EQ(log.calls.Events()[1], "Reset");
    EXPECT_EQ(log.calls.Count("Unprepare"), 8u);
    EXPECT_EQ(log.calls.Events().back(), "Close");
    EXPECT_NE(queue.OpenReader(), nullptr);
    log.calls.Clear();
    Finish();  // a late return is left alone
    waveOut.Stop();
    EXPECT_TRUE(log.calls.Events().empty());
}

TEST_F(WaveOutManualTest, ANewTalkStartsWithSilenceNotTheLastAudio) {
    StartPlaying();
    const auto block = ToneBlock();
    for (int i = 0; i < 8; ++i) queue.PushFrame(block.data(), 30, 0);
    for (int i = 0; i < 8; ++i) Finish();
    waveOut.Stop();
    log.queued.clear();
    StartPlaying();
    for (WaveBuffer* b : log.queued) EXPECT_TRUE(Silent(b->data, 480));
}

// CWaveOut over the virtual speaker and a test clock.
TEST(WaveOutVirtual, PlaysSilenceContinuouslyFromAnEmptySource) {
    auto clock = std::make_shared<WaveTestClock>();
    auto speaker = std::make_shared<PcmSink>();
    support::NoSleeper noSleep;
    CBufferMonitor queue;
    CWaveOut waveOut({MakeVirtualWaveDeviceFactory({nullptr, speaker, clock}), &noSleep});
    waveOut.SetSource(&queue);
    waveOut.Start();
    clock->Advance(3000);
    EXPECT_EQ(speaker->BytesWritten(), 100u * 480);
    EXPECT_TRUE(Silent(speaker->Contents().data(), 100 * 480));
    waveOut.Stop();
    clock->Advance(300);
    EXPECT_EQ(speaker->BytesWritten(), 100u * 480);
}

TEST(WaveOutVirtual, PlaysBlocksAsTheyArriveThenSilenceWithinOneBuffer) {
    auto clock = std::make_shared<WaveTestClock>();
    auto speaker = std::make_shared<PcmSink>();
    support::NoSleeper noSleep;
    CBufferMonitor queue;
    CWaveOut waveOut({MakeVirtualWaveDeviceFactory({nullptr, speaker, clock}), &noSleep});
    waveOut.SetSource(&queue);
    waveOut.Start();
    const auto block = ToneBlock();
    for (int i = 0; i < 20; ++i) {
        queue.PushFrame(block.data(), 30, 0);
        clock->Advance(30);
    }
    clock->Advance(600);
    const auto played = speaker->Contents();
    ASSERT_EQ(played.size(), 40u * 480);
    // 240 ms of initial silence, then 20 decoded buffers back to back, then silence.
    EXPECT_TRUE(Silent(played.data(), 8 * 480));
    for (size_t i = 8; i < 28; ++i) EXPECT_FALSE(Silent(played.data() + i * 480, 480)) << i;
    for (size_t i = 28; i < 40; ++i) EXPECT_TRUE(Silent(played.data() + i * 480, 480)) << i;
}

}  // namespace
