#include "platform/periodic_timer.h"

#include <chrono>
#include <condition_variable>
#include <mutex>

namespace platform {
namespace {

using SteadyClock = std::chrono::steady_clock;

// Keeps the next due time; a waiter sleeps until it and then moves it past now.
class LinuxPeriodicTimer final : public PeriodicTimer {
public:
    void Start(uint32_t firstDueMs, uint32_t periodMs) override {
        std::lock_guard lock(mutex_);
        armed_ = true;
        period_ = std::chrono::milliseconds(periodMs);
        due_ = SteadyClock::now() + std::chrono::milliseconds(firstDueMs);
        changed_.notify_all();
    }

    void Cancel() override {
        std::lock_guard lock(mutex_);
        armed_ = false;
        changed_.notify_all();
    }

    bool Wait(uint32_t timeoutMs) override {
        std::unique_lock lock(mutex_);
        const auto deadline = SteadyClock::now() + std::chrono::milliseconds(timeoutMs);
        for (;;) {
            const auto now = SteadyClock::now();
            if (armed_ && now >= due_) {
                Advance(now);
                return true;
            }
            if (now >= deadline) return false;
            const auto until = armed_ && due_ < deadline ? due_ : deadline;
            changed_.wait_until(lock, until);
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
    std::condition_variable changed_;
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
