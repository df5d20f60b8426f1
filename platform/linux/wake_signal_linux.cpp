#include "platform/wake_signal.h"

#include <linux/futex.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <atomic>
#include <climits>
#include <ctime>

namespace platform {

// A futex on a signal count. Unlike a condition variable, waking costs the
// waiter no second call to take a mutex back.
struct WakeSignal::State {
    std::atomic<uint32_t> signals{0};
    std::atomic<uint32_t> waiters{0};
};

namespace {

static_assert(sizeof(std::atomic<uint32_t>) == sizeof(uint32_t) && std::atomic<uint32_t>::is_always_lock_free);

uint32_t* Word(std::atomic<uint32_t>& value) { return reinterpret_cast<uint32_t*>(&value); }

// Sleeps while the count is still the ticket, until the absolute monotonic deadline (null: none).
// A signal already given costs no call: a thread whose own work signalled
// (a device callback adding a buffer back) goes round again at once.
void FutexWait(std::atomic<uint32_t>& count, uint32_t ticket, const timespec* deadline) {
    if (count.load() != ticket) return;
    syscall(SYS_futex, Word(count), FUTEX_WAIT_BITSET_PRIVATE, ticket, deadline, nullptr, FUTEX_BITSET_MATCH_ANY);
}

}  // namespace

WakeSignal::WakeSignal() : state_(std::make_unique<State>()) {}

WakeSignal::~WakeSignal() = default;

uint32_t WakeSignal::Ticket() const { return state_->signals.load(); }

// The steady clock is CLOCK_MONOTONIC, the futex's clock for absolute deadlines.
void WakeSignal::WaitUntil(uint32_t ticket, TimePoint deadline) {
    const auto since = std::chrono::duration_cast<std::chrono::nanoseconds>(deadline.time_since_epoch()).count();
    if (since <= 0) return;
    const timespec at{time_t(since / 1000000000), long(since % 1000000000)};
    ++state_->waiters;
    FutexWait(state_->signals, ticket, &at);
    --state_->waiters;
}

void WakeSignal::Wait(uint32_t ticket) {
    ++state_->waiters;
    FutexWait(state_->signals, ticket, nullptr);
    --state_->waiters;
}

// The count moves before the waiters are looked at, and a waiter counts itself
// before its futex compares the count: a waiter missed here sees the new count.
void WakeSignal::Signal() {
    ++state_->signals;
    if (state_->waiters.load() != 0) syscall(SYS_futex, Word(state_->signals), FUTEX_WAKE_PRIVATE, INT_MAX);
}

}  // namespace platform
