#pragma once
#include <cstdint>

namespace platform {

// Seconds and microseconds since 1970-01-01 UTC.
struct WallTime {
    int64_t seconds = 0;
    int64_t microseconds = 0;
};

// Time source. The system one reads the OS; tests substitute their own.
class Clock {
public:
    virtual ~Clock() = default;
    // Monotonic time in microseconds from an arbitrary origin.
    virtual uint64_t MonotonicMicros() = 0;
    virtual WallTime WallNow() = 0;
};

// Every specified wait goes through a sleeper so tests can skip it.
class Sleeper {
public:
    virtual ~Sleeper() = default;
    virtual void SleepMs(uint32_t milliseconds) = 0;
};

Clock& SystemClock();
Sleeper& SystemSleeper();

}  // namespace platform
