#pragma once
#include <cstdint>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

#include "audio/virtual/virtual_clock.h"
#include "platform/wake_signal.h"

// The real clock for virtual devices: one thread serves every attached
// stream, sleeping to the earliest absolute due time among them. Streams
// begin on a shared 10 ms grid, as both directions of a sound card run on one
// period clock, so that a capture buffer and a playback block falling due
// together cost one wake-up, not two.
class RealTimeWaveClock final : public VirtualClock {
public:
    RealTimeWaveClock();
    ~RealTimeWaveClock() override;
    RealTimeWaveClock(const RealTimeWaveClock&) = delete;
    RealTimeWaveClock& operator=(const RealTimeWaveClock&) = delete;

    uint64_t NowMicros() const override;
    uint64_t StartMicros(uint64_t now) const override;
    void Attach(VirtualStream* stream) override;
    void Detach(VirtualStream* stream) override;
    void Changed() override;

private:
    void Run();
    bool Stopping();
    // Completes what is due on every stream; the earliest next due time, if any.
    std::optional<uint64_t> PumpAll();

    const uint64_t epoch_;
    std::mutex lock_;  // the stream list and the stop flag, held through a pass over the streams
    std::vector<VirtualStream*> streams_;
    bool stopping_ = false;
    platform::WakeSignal changed_;
    std::thread thread_;  // started with the first stream
};
