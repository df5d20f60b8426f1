#include "platform/clock.h"

#include <time.h>

namespace platform {
namespace {

class LinuxClock final : public Clock {
public:
    uint64_t MonotonicMicros() override {
        timespec ts{};
        clock_gettime(CLOCK_MONOTONIC, &ts);
        return uint64_t(ts.tv_sec) * 1000000u + uint64_t(ts.tv_nsec) / 1000u;
    }
    WallTime WallNow() override {
        timespec ts{};
        clock_gettime(CLOCK_REALTIME, &ts);
        return {int64_t(ts.tv_sec), int64_t(ts.tv_nsec) / 1000};
    }
};

class LinuxSleeper final : public Sleeper {
public:
    void SleepMs(uint32_t milliseconds) override {
        timespec ts{time_t(milliseconds / 1000), long(milliseconds % 1000) * 1000000L};
        while (nanosleep(&ts, &ts) != 0) {
        }
    }
};

}  // namespace

Clock& SystemClock() {
    static LinuxClock clock;
    return clock;
}

Sleeper& SystemSleeper() {
    static LinuxSleeper sleeper;
    return sleeper;
}

}  // namespace platform
