#pragma once
#include <cstdint>
#include <mutex>
#include <vector>

#include "audio/virtual/virtual_clock.h"

// Stepped time for virtual devices: nothing moves until the test advances
// the clock, and every buffer that falls due is returned on the advancing
// thread before Advance returns.
class WaveTestClock final : public VirtualClock {
public:
    uint64_t NowMicros() const override;
    // Moves on in 1 ms steps, completing on each step what is due.
    void Advance(uint32_t milliseconds);

    void Attach(VirtualStream* stream) override;
    void Detach(VirtualStream* stream) override;

private:
    std::mutex pumpLock_;  // held through a step; devices must not close from a callback
    mutable std::mutex lock_;
    std::vector<VirtualStream*> streams_;
    uint64_t now_ = 0;
};
