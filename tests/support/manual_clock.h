#pragma once
#include <cstdint>

#include "platform/clock.h"

namespace support {

// A clock that stands still until the test moves it; reading it from several
// threads is safe while nobody moves it.
class ManualClock final : public platform::Clock {
public:
    uint64_t monotonic = 5'000'000;
    platform::WallTime wall{1'700'000'000, 250'000};
    uint64_t MonotonicMicros() override { return monotonic; }
    platform::WallTime WallNow() override { return wall; }
    void Advance(uint64_t micros) { monotonic += micros; }
};

}  // namespace support
