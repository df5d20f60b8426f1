#include "voicemsg/leave_word_recorder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "audio/buffer_monitor.h"
#include "audio/virtual/virtual_wave_devices.h"
#include "common/base64.h"
#include "tests/support/sleepers.h"
#include "tests/support/wave_fakes.h"
#include "voicemsg/pack_text.h"

namespace voicemsg {
namespace {

std::vector<uint8_t> Speech(size_t bytes) {
    std::vector<uint8_t> pcm(bytes);
    for (size_t i = 0; i + 1 < bytes; i += 2) {
        const double t = double(i / 2) / 8000;
        const auto sample = int16_t(6000 * std::sin(2 * 3.14159265 * 220 * t) * std::sin(2 * 3.14159265 * 3 * t));
        std::memcpy(&pcm[i], &sample, 2);
    }
    return pcm;
}

std::vector<uint8_t> Decode(const std::string& text) {
    std::vector<uint8_t> bytes(text.size() / 4 * 3);
    size_t n = 0;
    for (size_t at = 0; at + 4 <= text.size(); at += 4) n += size_t(common::Base64DecodeGroup(&text[at], &bytes[n]));
    bytes.resize(n);
    return bytes;
}

// The recorder on virtual devices that move only with the test clock.
class RecorderTest : public ::testing::Test {
protected:
    LeaveWordServices Services() {
        LeaveWordServices services;
        services.devices = {MakeVirtualWaveDeviceFactory({mic, speaker, clock}), &noSleep};
        return services;
    }
    std::string PackText() {
        std::vector<char> out(kPackTextCapacity);
        return std::string(out.data(), recorder.BuildPackText(out.data()));
    }

    const std::vector<uint8_t> said = Speech(16000 * 3);
    std::shared_ptr<WaveTestClock> clock = std::make_shared<WaveTestClock>();
    std::shared_ptr<PcmSource> mic = std::make_shared<PcmSource>(said);
    std::shared_ptr<PcmSink> speaker = std::make_shared<PcmSink>();
    support::NoSleeper noSleep;
    CLeaveWordRecorder recorder{Services()};
};

TEST_F(RecorderTest, RecordsPlaysBackAndPacksWhatTheMicrophoneHeard) {
    EXPECT_EQ(recorder.GetState(), MessageRecorder::Idle);
    ASSERT_TRUE(recorder.StartRecording());
    EXPECT_EQ(recorder.GetState(), MessageRecorder::Recording);
    EXPECT_FALSE(recorder.StartRecording());  // the recording goes on
    clock->Advance(2000);
    ASSERT_TRUE(recorder.StopRecording());
    EXPECT_FALSE(recorder.StopRecording());
    clock->Advance(100);  // a stopped device records nothing more
    const size_t blocks = recorder.BlockCount();
    EXPECT_EQ(blocks, 66u);

    const std::string text = PackText();
    ASSERT_EQ(text.size(), 640 * blocks);
    const std::vector<uint8_t> recorded = Decode(text);
    ASSERT_EQ(recorded, std::vector<uint8_t>(said.begin(), said.begin() + long(blocks * 480)));

    recorder.StartPlayback();
    EXPECT_EQ(recorder.GetState(), MessageRecorder::Playing);
    clock->Advance(240 + 30 * uint32_t(blocks) + 90);
    recorder.StopPlayback();
    EXPECT_EQ(recorder.GetState(), MessageRecorder::Idle);
    const std::vector<uint8_t> played = speaker->Contents();
    ASSERT_EQ(played.size(), 3840 + recorded.size() + 3 * 480);
    EXPECT_TRUE(std::all_of(played.begin(), played.begin() + 3840, [](uint8_t b) { return b == 0; }));
    EXPECT_TRUE(std::equal(recorded.begin(), recorded.end(), played.begin() + 3840));
    EXPECT_TRUE(std::all_of(played.begin() + 3840 + long(recorded.size()), played.end(), [](uint8_t b) { return b == 0; }));

    // Playing does not use the message up, and a new recording replaces it.
    EXPECT_EQ(PackText(), text);
    recorder.StartRecording();
    clock->Advance(300);
    recorder.StopRecording();
    EXPECT_EQ(recorder.BlockCount(), 10u);
}

TEST_F(RecorderTest, ALoadedMessagePlaysFromItsOldestBlockAndShortBlocksEndInSilence) {
    const std::vector<uint8_t> first(480, 0x11), last(100, 0x22);
    std::string text(common::Base64Length(480) + common::Base64Length(100), '\0');
    common::Base64Encode(first.data(), first.size(), text.data());
    common::Base64Encode(last.data(), last.size(), text.data() + 640);
    recorder.LoadPackText(text.data(), uint32_t(text.size()));
    EXPECT_EQ(recorder.BlockCount(), 2u);
    recorder.StartPlayback();
    EXPECT_EQ(recorder.GetState(), MessageRecorder::Playing);
    recorder.StartPlayback();  // only from idle
    clock->Advance(240 + 90);
    recorder.StopPlayback();
    const std::vector<uint8_t> played = speaker->Contents();
    ASSERT_EQ(played.size(), 3840u + 3 * 480);
    std::vector<uint8_t> expected(3840 + 3 * 480, 0);
    std::fill_n(expected.begin() + 3840, 480, 0x11);
    std::fill_n(expected.begin() + 3840 + 480, 100, 0x22);
    EXPECT_EQ(played, expected);
}

TEST_F(RecorderTest, PlaybackOrRecordingStillRunningStopsWithTheRecorder) {
    auto other = std::make_unique<CLeaveWordRecorder>(Services());
    other->StartRecording();
    clock->Advance(90);
    EXPECT_NO_FATAL_FAILURE(other.reset());
    clock->Advance(90);  // the closed device is gone from the clock
}

// A mixer that writes down what it is asked, in order.
class LoggingMixer final : public TalkMixer {
public:
    explicit LoggingMixer(std::vector<std::string>& log) : log_(log) {}
    bool SelectMicrophoneAsRecordSource() override { return Log("select microphone"); }
    bool SetMicVolume(int32_t percent) override { return Log("mic percent " + std::to_string(percent)); }
    int32_t GetMicVolume() override { return 0; }
    bool SetMicVolumeRaw(uint32_t raw) override { return Log("mic raw " + std::to_string(raw)); }
    bool SetSpeakerVolume(int32_t percent) override { return Log("speaker percent " + std::to_string(percent)); }
    int32_t GetSpeakerVolume() override { return -1; }
    bool SetSpeakerVolumeRaw(uint32_t raw) override { return Log("speaker raw " + std::to_string(raw)); }
    bool MuteFirstMicrophoneLine() override { return Log("mute microphone line"); }
    bool SetSpeakerMute(bool mute) override { return Log(mute ? "mute speakers" : "unmute speakers"); }

private:
    bool Log(std::string call) {
        log_.push_back(std::move(call));
        return false;  // failures change nothing
    }
    std::vector<std::string>& log_;
};

TEST_F(RecorderTest, ConstructionPreparesTheSoundCardInOrder) {
    std::vector<std::string> calls;
    LeaveWordServices services = Services();
    services.makeMixer = [&] { return std::make_unique<LoggingMixer>(calls); };
    CLeaveWordRecorder prepared(services);
    EXPECT_EQ(calls, (std::vector<std::string>{"select microphone", "mic raw 65535", "speaker raw 32767",
                                               "mute microphone line", "unmute speakers"}));
    EXPECT_EQ(prepared.GetState(), MessageRecorder::Idle);
}

// The capture and playback configuration of a message, over hand-driven devices.
class MessageDevicesTest : public ::testing::Test {
protected:
    std::shared_ptr<ManualWaveFactory> factory = std::make_shared<ManualWaveFactory>();
    ManualDeviceLog& log = *factory->log;
    support::RecordingSleeper sleeper{factory->log->calls};
};

TEST_F(MessageDevicesTest, CaptureQueuesRecordedBytesAsTheyAreInBuffersOf480) {
    CBufferMonitor queue;
    CWaveIn waveIn({factory, &sleeper}, {480, false});
    waveIn.SetTarget(&queue);
    waveIn.SetRunning(true);
    waveIn.Start();
    waveIn.SetTimeStamp(0);
    ASSERT_EQ(log.queued.size(), 16u);
    EXPECT_EQ(log.queued.front()->length, 480u);
    std::fill_n(log.queued.front()->data, 480, uint8_t(7));
    log.ReturnOldest(kWimData, 480);
    log.ReturnOldest(kWimData, 0);     // nothing recorded: no block, the stamp still moves
    log.ReturnOldest(kWimData, 200);   // a partial buffer, as during a reset
    log.ReturnOldest(kWimData, 5000);  // a device claiming more than the buffer holds
    QueueReader* reader = queue.OpenReaderAtOldest();
    std::vector<FrameBlockHeader> headers;
    while (const uint8_t* block = queue.ReadNext(reader)) headers.push_back(ReadFrameBlockHeader(block));
    ASSERT_EQ(headers.size(), 3u);
    EXPECT_EQ(headers[0].length, 480u);
    EXPECT_EQ(headers[0].timeStamp, 40u);
    EXPECT_EQ(headers[1].length, 200u);
    EXPECT_EQ(headers[1].timeStamp, 120u);
    EXPECT_EQ(headers[2].length, 480u);
    EXPECT_EQ(log.queued.size(), 16u);
    log.calls.Clear();
    waveIn.Stop();
    EXPECT_EQ(log.calls.Events(), (std::vector<std::string>{"sleep 1000", "Reset", "Close"}));
}

TEST_F(MessageDevicesTest, PlaybackStartsAtTheOldestBlockAfterEightSilentBuffers) {
    CBufferMonitor queue;
    for (uint8_t i = 1; i <= 3; ++i) {
        const std::vector<uint8_t> pcm(480, i);
        queue.PushFrame(pcm.data(), 480, 40u * i);
    }
    CWaveOut waveOut({factory, &sleeper}, {false, WaveOutConfig::ReaderStart::Oldest});
    waveOut.SetSource(&queue);
    waveOut.Start();
    ASSERT_EQ(log.queued.size(), 8u);
    for (WaveBuffer* b : log.queued) EXPECT_TRUE(std::all_of(b->data, b->data + 480, [](uint8_t x) { return x == 0; }));
    std::vector<uint8_t> firsts;
    for (int i = 0; i < 4; ++i) {
        std::memset(log.queued.front()->data, 0x55, 480);
        log.ReturnOldest(kWomDone, 0);
        firsts.push_back(log.queued.back()->data[479]);
    }
    EXPECT_EQ(firsts, (std::vector<uint8_t>{1, 2, 3, 0}));
    log.calls.Clear();
    waveOut.Stop();
    EXPECT_EQ(log.calls.Events().front(), "sleep 1000");
    EXPECT_EQ(log.calls.Events().back(), "Close");
}

// The devices on threads of their own, as the sound system runs its callbacks,
// while the dialog's thread keeps asking how long the message is.
TEST(RecorderOnDeviceThreads, RecordsPacksAndPlaysWhileTheDialogWatches) {
    using namespace std::chrono_literals;
    const std::vector<uint8_t> said = Speech(16000);
    auto speaker = std::make_shared<PcmSink>();
    support::NoSleeper noSleep;
    LeaveWordServices services;
    services.devices = {MakeVirtualWaveDeviceFactory({std::make_shared<PcmSource>(said), speaker, nullptr}), &noSleep};
    CLeaveWordRecorder recorder(services);

    ASSERT_TRUE(recorder.StartRecording());
    for (auto end = std::chrono::steady_clock::now() + 400ms; std::chrono::steady_clock::now() < end;)
        std::this_thread::sleep_for(1ms), (void)recorder.BlockCount();
    ASSERT_TRUE(recorder.StopRecording());
    const size_t blocks = recorder.BlockCount();
    ASSERT_GE(blocks, 5u);

    std::vector<char> text(kPackTextCapacity);
    const uint32_t length = recorder.BuildPackText(text.data());
    ASSERT_EQ(length, 640 * blocks);
    recorder.LoadPackText(text.data(), length);
    ASSERT_EQ(recorder.BlockCount(), blocks);

    recorder.StartPlayback();
    const size_t heard = 3840 + 480 * blocks;
    for (auto end = std::chrono::steady_clock::now() + 5s;
         speaker->BytesWritten() < heard && std::chrono::steady_clock::now() < end;)
        std::this_thread::sleep_for(1ms), (void)recorder.BlockCount();
    recorder.StopPlayback();
    const std::vector<uint8_t> played = speaker->Contents();
    ASSERT_GE(played.size(), heard);
    EXPECT_TRUE(std::equal(said.begin(), said.begin() + long(480 * blocks), played.begin() + 3840));
}

}  // namespace
}  // namespace voicemsg
