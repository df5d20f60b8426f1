#pragma once
#include <array>
#include <atomic>
#include <cstdint>
#include <memory>

#include "audio/wave_device_factory.h"
#include "codec/audio_code.h"
#include "codec/codec.h"

class CBufferMonitor;
namespace platform {
class Sleeper;
}

// Records the microphone in 10 ms buffers, encodes each into one speech frame
// and appends it as a frame block to the target queue. All work happens in
// the device callback; there is no thread of its own.
class CWaveIn {
public:
    static constexpr int kBufferCount = 16;
    static constexpr uint32_t kBufferSize = 160;  // 80 samples, 10 ms
    static constexpr uint32_t kStampStep = 40;
    static constexpr uint32_t kStopWaitMs = 1000;

    explicit CWaveIn(WaveDeviceSetup setup = {});
    ~CWaveIn();
    CWaveIn(const CWaveIn&) = delete;
    CWaveIn& operator=(const CWaveIn&) = delete;

    // The owner sets the target and running before Start, and zeroes the
    // time stamp after it. A null target drains capture: returned buffers
    // leave circulation.
    void SetTarget(CBufferMonitor* target) { target_ = target; }
    void SetRunning(bool running) { running_ = running; }
    bool Running() const { return running_; }
    void SetTimeStamp(uint32_t stamp) { timeStamp_ = stamp; }
    uint32_t TimeStamp() const { return timeStamp_; }

    // Opens the device and starts recording. Always reports success: a device
    // that fails to open simply delivers nothing.
    bool Start();
    // Only when running: stops, waits for callbacks in flight, resets and closes.
    void Stop();

private:
    static void Callback(uint32_t message, void* instance, WaveBuffer* buffer);
    void OnData(WaveBuffer* buffer);

    WaveDeviceSetup setup_;
    platform::Sleeper& sleeper_;
    CAudioCode codec_;  // its construction resets the process-wide codec
    WaveFormat format_;
    std::array<WaveBuffer, kBufferCount> headers_{};
    std::unique_ptr<uint8_t[]> buffers_;
    std::array<uint8_t, kBytesPerFrame> frame_{};
    std::atomic<CBufferMonitor*> target_{nullptr};
    std::atomic<uint32_t> timeStamp_{0};
    std::atomic<bool> running_{false};
    bool open_ = false;
    std::unique_ptr<WaveInDevice> device_;  // last: closed before the buffers go
};
