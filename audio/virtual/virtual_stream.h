#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

#include "audio/virtual/virtual_clock.h"
#include "audio/wave_buffer_queue.h"

// The buffer circulation of one virtual device. The head buffer completes
// when its duration has passed since the previous one completed (or since it
// was added to an idle device): capture thus runs in 10 ms steps and
// playback in 30 ms steps with this system's buffers. The clock, shared by
// the devices of a set, completes them on time.
class VirtualStream {
public:
    struct Messages {
        uint32_t open, close, done;
    };
    // Fills (capture) or takes (playback) the whole buffer once it is due.
    using Transfer = std::function<void(WaveBuffer&)>;

    VirtualStream(Messages messages, bool capture, Transfer transfer, std::shared_ptr<VirtualClock> clock);
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

    // For the clock: completes, in order, every buffer due by the given time,
    // and tells when the next one is due (nothing while none is).
    void Pump(uint64_t nowMicros);
    std::optional<uint64_t> NextDue();

private:
    uint64_t DueLocked(const WaveBuffer& head) const;

    const Messages messages_;
    const bool capture_;
    const Transfer transfer_;
    const std::shared_ptr<VirtualClock> clock_;
    WaveBufferQueue queue_;
    uint32_t bytesPerSecond_ = 0;
    bool started_ = false;
    uint64_t lastEnd_ = 0;
};
