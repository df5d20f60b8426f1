#pragma once
// The workers' only way to the window: changes are queued and carried out on
// the window's thread. A worker never waits for that thread except through
// Call, and a Call is let go as soon as the window closes, so a window that
// waits for its workers while closing cannot deadlock with them.
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

#include "update/update_window.h"

namespace update {

class DialogMailbox {
public:
    using Change = std::function<void(UpdateWindow&)>;

    // Built on the window's thread. `wake` tells that thread that mail waits
    // (on Windows a posted message); it may be called from any thread.
    DialogMailbox(UpdateWindow& window, std::function<void()> wake);

    // Queues a change and returns at once; dropped once the window is closed.
    void Post(Change change);
    // Runs a change on the window's thread and waits for it to finish (at
    // once when called on that thread). False when the window closed first.
    bool Call(Change change);

    // The window's thread: carries out the queued changes in order. A call
    // made while one of them runs (from a message box's own loop) returns at
    // once; the outer call goes on with what was queued meanwhile.
    void Deliver();
    // The window's thread: waits up to `timeout` for mail (for front ends
    // without a message queue of their own).
    void WaitForMail(std::chrono::milliseconds timeout);
    // No more changes; waiting callers return false.
    void Close();
    bool Closed() const;

private:
    struct Letter {
        Change change;
        bool answered = false;  // run, or dropped because the window closed
        bool delivered = false;
    };
    bool OnWindowThread() const { return std::this_thread::get_id() == windowThread_; }

    UpdateWindow& window_;
    std::function<void()> wake_;
    const std::thread::id windowThread_;
    mutable std::mutex mutex_;
    std::condition_variable answered_;
    std::condition_variable mail_;
    std::deque<std::shared_ptr<Letter>> queue_;
    bool delivering_ = false;
    bool closed_ = false;
};

}  // namespace update
