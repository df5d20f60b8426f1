#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <thread>

#include "audio/wave_buffer_queue.h"
#include "platform/wake_signal.h"

class WaveTestClock;

// The buffer circulation of one virtual device. The head buffer completes
// when its duration has passed since the previous one completed (or since it
// was added to an idle device): capture thus runs in 10 ms steps and
// playback in 30 ms steps with this system's buffers. Time is the real clock,
// on a thread of the stream's own that sleeps to each absolute due time, or a
// test clock that pumps the stream.
class VirtualStream {
public:
    struct Messages {
        uint32_t open, close, done;
    };
    // Fills (capture) or takes (playback) the whole buffer once it is due.
    using Transfer = std::function<void(WaveBuffer&)>;

    VirtualStream(Messages messages, bool capture, Transfer transfer, std::shared_ptr<WaveTestClock> clock);
    ~VirtualStream();
    VirtualStream(const VirtualStream&) = delete;
    VirtualStream& operator=(const VirtualStream&) = delete;

    uint32_t Open(const WaveFormat& format, WaveProc proc, void* instance);
    uint32_t Prepare(WaveBuffer* buffer);
    uint32_t Unprepare(WaveBuffer* buffer);
    uint32_t Add(WaveBuffer* buffer);
    uint32_t Start();
    uint32_t Reset();
    uint32_t Close();

    // Completes, in order, every buffer due by the given time.
    void Pump(uint64_t nowMicros);

private:
    uint64_t Now() const;
    uint64_t DueLocked(const WaveBuffer& head) const;
    void RunRealTime();
    // Under the lock: when the head buffer is due, or nothing when none is.
    std::optional<uint64_t> NextDueLocked() const;

    const Messages messages_;
    const bool capture_;
    const Transfer transfer_;
    const std::shared_ptr<WaveTestClock> clock_;
    WaveBufferQueue queue_;
    uint32_t bytesPerSecond_ = 0;
    bool started_ = false;
    bool stopping_ = false;
    uint64_t lastEnd_ = 0;
    platform::WakeSignal changed_;  // wakes the thread when its next due time may have moved
    std::thread thread_;
};
