#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "audio/buffer_monitor.h"
#include "audio/wave_in.h"
#include "audio/wave_out.h"
#include "audio/wave_device_factory.h"

namespace {

// The platform's devices, counting the buffers handed to them.
class CountingFactory : public WaveDeviceFactory {
public:
    std::unique_ptr<WaveInDevice> CreateWaveIn() override { return platform_->CreateWaveIn(); }
    std::unique_ptr<WaveOutDevice> CreateWaveOut() override {
        return std::make_unique<CountingOut>(platform_->CreateWaveOut(), writes);
    }
    std::atomic<int> writes{0};

private:
    class CountingOut : public WaveOutDevice {
    public:
        CountingOut(std::unique_ptr<WaveOutDevice> device, std::atomic<int>& writes)
            : device_(std::move(device)), writes_(writes) {}
        uint32_t Open(const WaveFormat& f, WaveProc p, void* i) override { return device_->Open(f, p, i); }
        uint32_t Prepare(WaveBuffer* b) override { return device_->Prepare(b); }
        uint32_t Unprepare(WaveBuffer* b) override { return device_->Unprepare(b); }
        uint32_t Write(WaveBuffer* b) override {
            ++writes_;
            return device_->Write(b);
        }
        uint32_t Reset() override { return device_->Reset(); }
        uint32_t Close() override { return device_->Close(); }

    private:
        std::unique_ptr<WaveOutDevice> device_;
        std::atomic<int>& writes_;
    };
    std::shared_ptr<WaveDeviceFactory> platform_ = PlatformWaveDeviceFactory();
};

bool SoundDevicePresent() {
    auto in = PlatformWaveDeviceFactory()->CreateWaveIn();
    auto out = PlatformWaveDeviceFactory()->CreateWaveOut();
    return in->Open(WaveFormat{}, nullptr, nullptr) == kWaveOk && out->Open(WaveFormat{}, nullptr, nullptr) == kWaveOk;
}

// On a machine with a sound device (or a virtual one such as a JACK dummy
// driver) the platform backend runs capture and playback at the device's pace.
TEST(WavePlatformDevice, CaptureAndPlaybackRunInRealTime) {
    if (!SoundDevicePresent()) GTEST_SKIP() << "no sound device";
    auto factory = std::make_shared<CountingFactory>();
    CBufferMonitor captureQueue, playbackQueue;
    CWaveIn waveIn({factory});
    CWaveOut waveOut({factory});
    waveIn.SetTarget(&captureQueue);
    waveIn.SetRunning(true);
    waveIn.Start();
    waveOut.SetSource(&playbackQueue);
    waveOut.Start();
    std::this_thread::sleep_for(std::chrono::seconds(3));
    const size_t blocks = captureQueue.BlockCount();
    const int writes = factory->writes;
    RecordProperty("capture_blocks", int(blocks));
    RecordProperty("playback_writes", writes);
    waveIn.Stop();
    waveOut.Stop();
    // 3 s: 300 capture buffers, and 8 + 100 playback buffers; the device's own buffering aside.
    EXPECT_GT(blocks, 240u);
    EXPECT_LT(blocks, 330u);
    EXPECT_GT(writes, 8 + 80);
    EXPECT_LT(writes, 8 + 115);
}

}  // namespace
