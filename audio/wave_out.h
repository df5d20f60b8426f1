#pragma once
#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <optional>

#include "audio/playback_feed.h"
#include "audio/wave_device_factory.h"
#include "codec/audio_code.h"

class CBufferMonitor;
struct QueueReader;
namespace platform {
class Sleeper;
}

// What a playback makes of the source's blocks. The defaults are the talk's:
// each block is three speech frames, and playing joins the stream near its
// newest block. A message instead is raw PCM played from its oldest block.
struct WaveOutConfig {
    enum class ReaderStart { SecondNewest, Oldest };
    bool decode = true;
    ReaderStart readerStart = ReaderStart::SecondNewest;
};

// Plays the blocks of a source queue: eight 30 ms buffers circulate at the
// device; each one that comes back is refilled with the next block (decoded,
// or as it is), or with silence when none is waiting. Given a feed instead of
// a queue, it plays what the feed makes, and silence when the feed has
// nothing. Every start begins with the 240 ms of the eight buffers zeroed.
// All work happens in the device callback; there is no thread of its own.
class CWaveOut {
public:
    static constexpr int kBufferCount = 8;
    static constexpr uint32_t kBufferSize = 480;  // 240 samples, 30 ms
    static constexpr uint32_t kBlockDataSize = 512;
    static constexpr uint32_t kStopWaitMs = 1000;

    explicit CWaveOut(WaveDeviceSetup setup = {}, WaveOutConfig config = {});
    ~CWaveOut();
    CWaveOut(const CWaveOut&) = delete;
    CWaveOut& operator=(const CWaveOut&) = delete;

    // Set by the owner before Start; a feed takes the place of the source.
    void SetSource(CBufferMonitor* source) { source_ = source; }
    void SetFeed(PlaybackFeed* feed) { feed_ = feed; }
    bool Playing() const { return playing_; }

    // Without a source or feed does nothing; else takes a reader on the
    // source, opens the device and queues all buffers. Device failures are
    // not reported.
    void Start();
    // Only when playing: lets the queued buffers drain, then closes the
    // device and releases the reader.
    void Stop();

private:
    static void Callback(uint32_t message, void* instance, WaveBuffer* buffer);
    void OnDone(WaveBuffer* buffer);
    void Fill(WaveBuffer* buffer);
    void FillDecoded(WaveBuffer* buffer, const uint8_t* data, uint32_t length);
    void FillFromFeed(WaveBuffer* buffer);

    WaveDeviceSetup setup_;
    const WaveOutConfig config_;
    platform::Sleeper& sleeper_;
    std::optional<CAudioCode> codec_;  // only when decoding: its construction resets the process-wide codec
    WaveFormat format_;
    std::array<WaveBuffer, kBufferCount> headers_{};
    std::unique_ptr<uint8_t[]> buffers_;
    std::array<int16_t, kBufferSize / 2> decoded_{};
    std::array<uint8_t, kBlockDataSize> blockData_{};
    std::atomic<bool> playing_{false};
    CBufferMonitor* source_ = nullptr;
    PlaybackFeed* feed_ = nullptr;
    CBufferMonitor* readerSource_ = nullptr;
    QueueReader* reader_ = nullptr;
    std::unique_ptr<WaveOutDevice> device_;  // last: closed before the buffers go
};
