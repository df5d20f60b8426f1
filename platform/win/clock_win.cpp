#include "platform/clock.h"

#include <windows.h>

namespace platform {
namespace {

constexpr int64_t kFileTimeTo1970Micros = 11644473600000000LL;

class WinClock final : public Clock {
public:
    WinClock() { QueryPerformanceFrequency(&frequency_); }

    uint64_t MonotonicMicros() override {
        LARGE_INTEGER count;
        QueryPerformanceCounter(&count);
        const uint64_t ticks = uint64_t(count.QuadPart);
        const uint64_t freq = uint64_t(frequency_.QuadPart);
        return ticks / freq * 1000000u + ticks % freq * 1000000u / freq;
    }

    WallTime WallNow() override {
        FILETIME ft;
        GetSystemTimeAsFileTime(&ft);
        const int64_t hundredNs = (int64_t(ft.dwHighDateTime) << 32) | ft.dwLowDateTime;
        const int64_t micros = hundredNs / 10 - kFileTimeTo1970Micros;
        return {micros / 1000000, micros % 1000000};
    }

private:
    LARGE_INTEGER frequency_{};
};

class WinSleeper final : public Sleeper {
public:
    void SleepMs(uint32_t milliseconds) override { Sleep(milliseconds); }
};

}  // namespace

Clock& SystemClock() {
    static WinClock clock;
    return clock;
}

Sleeper& SystemSleeper() {
    static WinSleeper sleeper;
    return sleeper;
}

}  // namespace platform
