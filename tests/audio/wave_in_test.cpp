#include "audio/wave_in.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "audio/buffer_monitor.h"
#include "audio/virtual/virtual_wave_devices.h"
#include "tests/support/sleepers.h"
#include "tests/support/wave_fakes.h"

namespace {

std::vector<const uint8_t*> ReadAll(CBufferMonitor& queue, QueueReader* reader) {
    std::vector<const uint8_t*> blocks;
    while (const uint8_t* block = queue.ReadNext(reader)) blocks.push_back(block);
    return blocks;
}

void FillTone(WaveBuffer* buffer, int16_t step) {
    for (uint32_t i = 0; i < buffer->length / 2; ++i) {
        const int16_t sample = int16_t((i * step) % 4000 - 2000);
        std::memcpy(buffer->data + 2 * i, &sample, 2);
    }
}

// CWaveIn over a device the test returns buffers from by hand.
class WaveInManualTest : public ::testing::Test {
protected:
    void StartTalk() {
        waveIn.SetTarget(&queue);
        waveIn.SetRunning(true);
        ASSERT_TRUE(waveIn.Start());
        waveIn.SetTimeStamp(0);
        reader = queue.OpenReader();
    }
    WaveBuffer* ReturnFull() {
        FillTone(log.queued.front(), 37);
        return log.ReturnOldest(kWimData, CWaveIn::kBufferSize);
    }

    std::shared_ptr<ManualWaveFactory> factory = std::make_shared<ManualWaveFactory>();
    ManualDeviceLog& log = *factory->log;
    support::RecordingSleeper sleeper{factory->log->calls};
    CBufferMonitor queue;
    QueueReader* reader = nullptr;
    CWaveIn waveIn{{factory, &sleeper}};
};

TEST_F(WaveInManualTest, StartOpensThenQueuesSixteenPreparedBuffersThenRecords) {
    StartTalk();
    const std::vector<std::string> calls = log.calls.Events();
    ASSERT_EQ(calls.size(), 1u + 2 * 16 + 1);
    EXPECT_EQ(calls.front(), "Open");
    for (size_t i = 0; i < 16; ++i) {
        EXPECT_EQ(calls[1 + 2 * i], "Prepare");
        EXPECT_EQ(calls[2 + 2 * i], "AddBuffer");
    }
    EXPECT_EQ(calls.back(), "Start");
    ASSERT_EQ(log.queued.size(), 16u);
    for (WaveBuffer* b : log.queued) {
        EXPECT_EQ(b->length, 160u);
        EXPECT_EQ(b->bytesRecorded, 0u);
    }
    EXPECT_NE(log.queued[0]->data, log.queued[1]->data);
}

TEST_F(WaveInManualTest, EachFullBufferBecomesOneFrameBlockStampedFortyApart) {
    StartTalk();
    for (int i = 0; i < 20; ++i) ReturnFull();
    const auto blocks = ReadAll(queue, reader);
    ASSERT_EQ(blocks.size(), 20u);
    for (size_t i = 0; i < blocks.size(); ++i) {
        const FrameBlockHeader header = ReadFrameBlockHeader(blocks[i]);
        EXPECT_EQ(header.type, kFrameBlockTypeAudio);
        EXPECT_EQ(header.length, 10u);
        EXPECT_EQ(header.timeStamp, 40u * (i + 1));
        EXPECT_EQ(std::memcmp(blocks[i], "ZIRO_0", 6), 0);
    }
    EXPECT_EQ(waveIn.TimeStamp(), 800u);
    ASSERT_EQ(log.queued.size(), 16u);  // every buffer went back, emptied
    EXPECT_EQ(log.calls.Count("AddBuffer"), 16u + 20u);
    for (WaveBuffer* b : log.queued) EXPECT_EQ(b->bytesRecorded, 0u);
}

TEST_F(WaveInManualTest, AShortBufferQueuesThePreviousFrameAgain) {
    StartTalk();
    ReturnFull();
    log.ReturnOldest(kWimData, 100);
    log.ReturnOldest(kWimData, 0);
    const auto blocks = ReadAll(queue, reader);
    ASSERT_EQ(blocks.size(), 3u);
    EXPECT_EQ(std::memcmp(FrameBlockData(blocks[0]), FrameBlockData(blocks[1]), 10), 0);
    EXPECT_EQ(std::memcmp(FrameBlockData(blocks[0]), FrameBlockData(blocks[2]), 10), 0);
    EXPECT_EQ(ReadFrameBlockHeader(blocks[2]).timeStamp, 120u);
    EXPECT_EQ(log.queued.size(), 16u);
}

TEST_F(WaveInManualTest, OtherMessagesAndAStoppedObjectIgnoreTheCallback) {
    StartTalk();
    log.proc(kWimOpen, log.instance, nullptr);
    log.proc(kWimClose, log.instance, nullptr);
    waveIn.SetRunning(false);
    ReturnFull();
    EXPECT_EQ(queue.BlockCount(), 0u);
    EXPECT_EQ(waveIn.TimeStamp(), 0u);
    EXPECT_EQ(log.queued.size(), 15u);  // not added back either
}

TEST_F(WaveInManualTest, WithoutTargetBuffersLeaveCirculationAndCaptureDiesOut) {
    StartTalk();
    ReturnFull();
    waveIn.SetTarget(nullptr);
    while (!log.queued.empty()) ReturnFull();
    EXPECT_EQ(queue.BlockCount(), 1u);
    EXPECT_EQ(log.calls.Count("Unprepare"), 16u);
    EXPECT_EQ(log.calls.Count("AddBuffer"), 17u);
    EXPECT_EQ(waveIn.TimeStamp(), 40u);
}

TEST_F(WaveInManualTest, StopWaitsASecondThenResetsAndClosesOnlyWhenRunning) {
    StartTalk();
    log.calls.Clear();
    waveIn.Stop();
    EXPECT_EQ(log.calls.Events(), (std::vector<std::string>{"sleep 1000", "Reset", "Close"}));
    EXPECT_FALSE(waveIn.Running());
    log.calls.Clear();
    waveIn.Stop();
    EXPECT_TRUE(log.calls.Events().empty());
}

TEST_F(WaveInManualTest, AFailedOpenStillReportsSuccessAndQueuesNothing) {
    log.openResult = kWaveBadDeviceId;
    StartTalk();
    EXPECT_EQ(queue.BlockCount(), 0u);
    waveIn.Stop();
    EXPECT_EQ(log.calls.Events().back(), "Close");
}

TEST_F(WaveInManualTest, StartingTwiceKeepsTheOpenDevice) {
    StartTalk();
    EXPECT_TRUE(waveIn.Start());
    EXPECT_EQ(factory->created, 1);
    EXPECT_EQ(log.calls.Count("Open"), 1u);
}

TEST_F(WaveInManualTest, StartAgainAfterStopOpensAFreshDevice) {
    StartTalk();
    waveIn.Stop();
    log.queued.clear();
    StartTalk();
    EXPECT_EQ(factory->created, 2);
    EXPECT_EQ(log.queued.size(), 16u);
}

// CWaveIn over the virtual microphone and a test clock.
TEST(WaveInVirtual, RecordsOneBlockPer10MsFromTheFirstBuffer) {
    auto clock = std::make_shared<WaveTestClock>();
    auto factory = MakeVirtualWaveDeviceFactory({nullptr, nullptr, clock});
    support::NoSleeper noSleep;
    CBufferMonitor queue;
    CWaveIn waveIn({factory, &noSleep});
    waveIn.SetTarget(&queue);
    waveIn.SetRunning(true);
    waveIn.Start();
    waveIn.SetTimeStamp(0);
    clock->Advance(1000);
    EXPECT_EQ(queue.BlockCount(), 100u);
    waveIn.Stop();
    clock->Advance(100);
    EXPECT_EQ(queue.BlockCount(), 100u);
    QueueReader* reader = queue.OpenReader();
    const auto blocks = ReadAll(queue, reader);
    EXPECT_EQ(ReadFrameBlockHeader(blocks.back()).timeStamp, 4000u);
}

}  // namespace
