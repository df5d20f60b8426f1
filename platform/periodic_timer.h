#pragma once
#include <cstdint>
#include <memory>

namespace platform {

// An auto-reset periodic timer: each expiry releases one waiter, expiries that
// nobody waited for collapse into one (as a Windows synchronization timer does).
class PeriodicTimer {
public:
    virtual ~PeriodicTimer() = default;
    // Arm: first expiry after firstDueMs, then every periodMs.
    virtual void Start(uint32_t firstDueMs, uint32_t periodMs) = 0;
    virtual void Cancel() = 0;
    // Waits for the next expiry; false when timeoutMs passed without one.
    virtual bool Wait(uint32_t timeoutMs) = 0;
};

std::unique_ptr<PeriodicTimer> CreatePeriodicTimer();

// Asks the OS for 1 ms timer resolution for the rest of the process.
void RequestFineTimerResolution();

}  // namespace platform
