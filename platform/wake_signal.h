#pragma once
#include <chrono>
#include <cstdint>
#include <memory>

namespace platform {

// Lets one thread sleep until a deadline unless another thread signals first,
// at one system call per wait and none per signal while nobody waits. The
// waiter takes a ticket before it looks at the state it waits on; a signal
// given after the ticket was taken ends the wait at once, so none is lost.
// A wait may also end early; waiters look at their state again and loop.
class WakeSignal {
public:
    using TimePoint = std::chrono::steady_clock::time_point;

    WakeSignal();
    ~WakeSignal();
    WakeSignal(const WakeSignal&) = delete;
    WakeSignal& operator=(const WakeSignal&) = delete;

    uint32_t Ticket() const;
    void WaitUntil(uint32_t ticket, TimePoint deadline);
    void Wait(uint32_t ticket);  // without a deadline
    void Signal();

    struct State;  // each platform's own

private:
    std::unique_ptr<State> state_;
};

}  // namespace platform
