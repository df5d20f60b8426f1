#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <numbers>
#include <string>
#include <vector>

#include "audio/buffer_monitor.h"
#include "audio/virtual/virtual_wave_devices.h"
#include "audio/wave_in.h"
#include "audio/wave_out.h"
#include "tests/support/sleepers.h"
#include "tests/support/wave_fakes.h"

namespace {

std::vector<int16_t> Voice(size_t samples) {
    std::vector<int16_t> pcm(samples);
    for (size_t i = 0; i < samples; ++i) {
        const double t = double(i) / 8000;
        pcm[i] = int16_t(5000 * std::sin(2 * std::numbers::pi * 310 * t) + 3000 * std::sin(2 * std::numbers::pi * 770 * t));
    }
    return pcm;
}

std::vector<uint8_t> Bytes(const std::vector<int16_t>& pcm) {
    std::vector<uint8_t> bytes(pcm.size() * 2);
    std::memcpy(bytes.data(), pcm.data(), bytes.size());
    return bytes;
}

std::vector<int16_t> Samples(const std::vector<uint8_t>& bytes) {
    std::vector<int16_t> pcm(bytes.size() / 2);
    std::memcpy(pcm.data(), bytes.data(), pcm.size() * 2);
    return pcm;
}

// Best normalised correlation of `played` against `sent` over `span` samples
// from `from`, for delays up to `maxDelay` samples.
double BestCorrelation(const std::vector<int16_t>& sent, const std::vector<int16_t>& played, size_t from,
                       size_t span, size_t maxDelay) {
    double best = -1;
    for (size_t delay = 0; delay <= maxDelay && from + delay + span <= played.size(); ++delay) {
        double xy = 0, xx = 0, yy = 0;
        for (size_t i = 0; i < span; ++i) {
            const double x = sent[from + i], y = played[from + delay + i];
            xy += x * y;
            xx += x * x;
            yy += y * y;
        }
        if (xx > 0 && yy > 0) best = std::max(best, xy / std::sqrt(xx * yy));
    }
    return best;
}

// The microphone is encoded by CWaveIn, three frames at a time go into the
// playback queue as the receive path would put them, and CWaveOut decodes
// them to the speaker: what is played follows what was said.
TEST(WaveLoopback, SpeakerPlaysWhatTheMicrophoneHeardThroughTheCodec) {
    const auto sent = Voice(8000 * 2);
    auto clock = std::make_shared<WaveTestClock>();
    auto speaker = std::make_shared<PcmSink>();
    auto factory = MakeVirtualWaveDeviceFactory({std::make_shared<PcmSource>(Bytes(sent)), speaker, clock});
    support::NoSleeper noSleep;
    CBufferMonitor captureQueue, playbackQueue;
    CWaveIn waveIn({factory, &noSleep});
    CWaveOut waveOut({factory, &noSleep});
    waveIn.SetTarget(&captureQueue);
    waveIn.SetRunning(true);
    waveIn.Start();
    waveIn.SetTimeStamp(0);
    waveOut.SetSource(&playbackQueue);
    waveOut.Start();
    QueueReader* reader = captureQueue.OpenReader();
    std::vector<uint8_t> frames;
    for (int step = 0; step < 300; ++step) {
        clock->Advance(10);
        while (const uint8_t* block = captureQueue.ReadNext(reader)) {
            frames.insert(frames.end(), FrameBlockData(block), FrameBlockData(block) + 10);
            if (frames.size() < 30) continue;
            playbackQueue.PushFrame(frames.data(), 30, 0);
            frames.clear();
        }
    }
    waveIn.Stop();
    waveOut.Stop();
    const auto played = Samples(speaker->Contents());
    ASSERT_GE(played.size(), sent.size());
    // Past the first 240 ms of silence and the codec's start-up, within 100 ms of delay.
    const double correlation = BestCorrelation(sent, played, 4000, 8000, 800);
    RecordProperty("correlation", std::to_string(correlation));
    EXPECT_GT(correlation, 0.9);
}

}  // namespace
