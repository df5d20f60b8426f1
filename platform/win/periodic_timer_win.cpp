#include "platform/periodic_timer.h"

#include <windows.h>
#include <mmsystem.h>

namespace platform {
namespace {

// An unnamed synchronization (auto-reset) waitable timer.
class WinPeriodicTimer final : public PeriodicTimer {
public:
    WinPeriodicTimer() : handle_(CreateWaitableTimerA(nullptr, FALSE, nullptr)) {}
    ~WinPeriodicTimer() override {
        if (handle_) CloseHandle(handle_);
    }

    void Start(uint32_t firstDueMs, uint32_t periodMs) override {
        if (!handle_) return;
        LARGE_INTEGER due;
        due.QuadPart = -int64_t(firstDueMs) * 10000;  // relative, in 100 ns
        SetWaitableTimer(handle_, &due, LONG(periodMs), nullptr, nullptr, FALSE);
    }

    void Cancel() override {
        if (handle_) CancelWaitableTimer(handle_);
    }

    bool Wait(uint32_t timeoutMs) override {
        if (!handle_) {
            Sleep(timeoutMs);
            return false;
        }
        return WaitForSingleObject(handle_, timeoutMs) == WAIT_OBJECT_0;
    }

private:
    HANDLE handle_;
};

}  // namespace

std::unique_ptr<PeriodicTimer> CreatePeriodicTimer() {
    return std::make_unique<WinPeriodicTimer>();
}

void RequestFineTimerResolution() {
    timeBeginPeriod(1);  // held for the life of the process
}

}  // namespace platform
