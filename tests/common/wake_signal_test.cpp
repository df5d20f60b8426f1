#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "platform/periodic_timer.h"
#include "platform/wake_signal.h"

namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

TEST(WakeSignal, ASignalAfterTheTicketEndsTheWaitOtherwiseTheDeadlineDoes) {
    platform::WakeSignal signal;
    uint32_t ticket = signal.Ticket();
    signal.Signal();  // before the wait: it must not be lost
    auto start = Clock::now();
    signal.WaitUntil(ticket, start + std::chrono::seconds(10));
    EXPECT_LT(Clock::now() - start, std::chrono::seconds(5));

    ticket = signal.Ticket();
    start = Clock::now();
    signal.WaitUntil(ticket, start + milliseconds(30));
    EXPECT_GE(Clock::now() - start, milliseconds(29));

    ticket = signal.Ticket();
    std::thread waiter([&] { signal.Wait(ticket); });
    std::this_thread::sleep_for(milliseconds(20));
    signal.Signal();
    waiter.join();  // hangs if the waiter sleeps through the signal
}

// The sender waits with the timer unarmed before its talk starts the timer.
TEST(PeriodicTimerReal, StartingWakesAWaiterAndTicksFollowUntilCancelled) {
    const auto timer = platform::CreatePeriodicTimer();
    bool ticked = false;
    const auto start = Clock::now();
    std::thread waiter([&] { ticked = timer->Wait(10000); });
    std::this_thread::sleep_for(milliseconds(20));
    timer->Start(5, 5);
    waiter.join();
    EXPECT_TRUE(ticked);
    EXPECT_LT(Clock::now() - start, std::chrono::seconds(5));

    for (int i = 0; i < 4; ++i) EXPECT_TRUE(timer->Wait(1000));
    EXPECT_GE(Clock::now() - start, milliseconds(20 + 5 * 4));
    timer->Cancel();
    EXPECT_FALSE(timer->Wait(30));
}

}  // namespace
