#include "platform/periodic_timer.h"

#include <chrono>
#include <mutex>

#include "platform/wake_signal.h"

namespace platform {
namespace {

using SteadyClock = std::chrono::steady_clock;

// Keeps the next due time; a waiter sleeps until it and then moves it past now.
// The mutex is held only to read or change the times, never while sleeping, so
// a tick costs the waiter one system call.
class LinuxPeriodicTimer final : public PeriodicTimer {
public:
    void Start(uint32_t firstDueMs, uint32_t periodMs) override {
        std::lock_guard lock(mutex_);
        armed_ = true;
        period_ = std::chrono::milliseconds(periodMs);
        due_ = SteadyClock::now() + std::chrono::milliseconds(firstDueMs);
        changed_.Signal();
    }

    void Cancel() override {
        std::lock_guard lock(mutex_);
        armed_ = false;
        changed_.Signal();
    }

    bool Wait(uint32_t timeoutMs) override {
        const auto deadline = SteadyClock::now() + std::chrono::milliseconds(timeoutMs);
        for (;;) {
            const uint32_t ticket = changed_.Ticket();
            SteadyClock::time_point until;
            {
                std::lock_guard lock(mutex_);
                const auto now = SteadyClock::now();
                if (armed_ && now >= due_) {
                    Advance(now);
                    return true;
                }
                if (now >= deadline) return false;
                until = armed_ && due_ < deadline ? due_ : deadline;
            }
            changed_.WaitUntil(ticket, until);
        }
    }

private:
    void Advance(SteadyClock::time_point now) {
        if (period_.count() == 0) {
            armed_ = false;  // one-shot
            return;
        }
        while (due_ <= now) due_ += period_;
    }

    std::mutex mutex_;
    WakeSignal changed_;
    bool armed_ = false;
    std::chrono::milliseconds period_{0};
    SteadyClock::time_point due_{};
};

}  // namespace

std::unique_ptr<PeriodicTimer> CreatePeriodicTimer() {
    return std::make_unique<LinuxPeriodicTimer>();
}

void RequestFineTimerResolution() {
    // Linux timers already have sub-millisecond resolution.
}

}  // namespace platform
