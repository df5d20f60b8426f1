#pragma once
#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <optional>

#include "audio/wave_device_factory.h"
#include "codec/audio_code.h"
#include "codec/codec.h"

class CBufferMonitor;
namespace platform {
class Sleeper;
}

// What a capture makes of each recorded buffer. The defaults are the talk's:
// 10 ms buffers, each encoded into one speech frame. Without encoding, the
// recorded bytes of each buffer are queued as they are.
struct WaveInConfig {
    uint32_t bufferSize = 160;
    bool encode = true;  // encoding takes exactly 160 bytes (80 samples)
};

// Records the microphone into a target queue, one frame block per completed
// device buffer: by default 10 ms encoded into one speech frame. All work
// happens in the device callback; there is no thread of its own.
class CWaveIn {
public:
    static constexpr int kBufferCount = 16;
    static constexpr uint32_t kBufferSize = 160;  // 80 samples, 10 ms: what one speech frame encodes
    static constexpr uint32_t kStampStep = 40;
    static constexpr uint32_t kStopWaitMs = 1000;

    explicit CWaveIn(WaveDeviceSetup setup = {}, WaveInConfig config = {});
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
    void QueueEncoded(CBufferMonitor* target, const WaveBuffer* buffer, uint32_t stamp);
    void QueueRaw(CBufferMonitor* target, const WaveBuffer* buffer, uint32_t stamp) const;

    WaveDeviceSetup setup_;
    const uint32_t bufferSize_;
    platform::Sleeper& sleeper_;
    std::optional<CAudioCode> codec_;  // only when encoding: its construction resets the process-wide codec
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
