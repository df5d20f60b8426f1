#include "platform/wake_signal.h"

#include <windows.h>

#include <atomic>

namespace platform {

// An auto-reset event, set only while a waiter is counted. An event left set by
// a signal the waiter had already seen ends a later wait early, which waiters
// allow for.
struct WakeSignal::State {
    HANDLE event = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    std::atomic<uint32_t> signals{0};
    std::atomic<uint32_t> waiters{0};
};

namespace {

DWORD MillisecondsUntil(WakeSignal::TimePoint deadline) {
    const auto left = deadline - std::chrono::steady_clock::now();
    if (left <= left.zero()) return 0;
    return DWORD(std::chrono::ceil<std::chrono::milliseconds>(left).count());
}

void WaitFor(WakeSignal::State& state, uint32_t ticket, bool timed, WakeSignal::TimePoint deadline) {
    ++state.waiters;
    if (state.signals.load() == ticket) {
        if (state.event)
            WaitForSingleObject(state.event, timed ? MillisecondsUntil(deadline) : INFINITE);
        else
            Sleep(timed ? MillisecondsUntil(deadline) : 1);
    }
    --state.waiters;
}

}  // namespace

WakeSignal::WakeSignal() : state_(std::make_unique<State>()) {}

WakeSignal::~WakeSignal() {
    if (state_->event) CloseHandle(state_->event);
}

uint32_t WakeSignal::Ticket() const { return state_->signals.load(); }

void WakeSignal::WaitUntil(uint32_t ticket, TimePoint deadline) { WaitFor(*state_, ticket, true, deadline); }

void WakeSignal::Wait(uint32_t ticket) { WaitFor(*state_, ticket, false, {}); }

// The count moves before the waiters are looked at, and a waiter counts itself
// before it compares the count: a waiter missed here sees the new count.
void WakeSignal::Signal() {
    ++state_->signals;
    if (state_->waiters.load() != 0 && state_->event) SetEvent(state_->event);
}

}  // namespace platform
