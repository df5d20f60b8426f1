#include "update/dialog_mailbox.h"

namespace update {

DialogMailbox::DialogMailbox(UpdateWindow& window, std::function<void()> wake)
    : window_(window), wake_(std::move(wake)), windowThread_(std::this_thread::get_id()) {}

void DialogMailbox::Post(Change change) {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (closed_) return;
        auto letter = std::make_shared<Letter>();
        letter->change = std::move(change);
        queue_.push_back(std::move(letter));
    }
    mail_.notify_all();
    if (wake_) wake_();
}

bool DialogMailbox::Call(Change change) {
    if (OnWindowThread()) {
        if (Closed()) return false;
        change(window_);
        return true;
    }
    auto letter = std::make_shared<Letter>();
    letter->change = std::move(change);
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (closed_) return false;
        queue_.push_back(letter);
    }
    mail_.notify_all();
    if (wake_) wake_();
    std::unique_lock<std::mutex> lock(mutex_);
    answered_.wait(lock, [&] { return letter->answered; });
    return letter->delivered;
}

void DialogMailbox::Deliver() {
    std::unique_lock<std::mutex> lock(mutex_);
    if (delivering_) return;
    delivering_ = true;
    while (!queue_.empty() && !closed_) {
        const std::shared_ptr<Letter> letter = queue_.front();
        queue_.pop_front();
        lock.unlock();
        letter->change(window_);
        lock.lock();
        letter->answered = letter->delivered = true;
        answered_.notify_all();
    }
    delivering_ = false;
}

void DialogMailbox::WaitForMail(std::chrono::milliseconds timeout) {
    std::unique_lock<std::mutex> lock(mutex_);
    mail_.wait_for(lock, timeout, [&] { return !queue_.empty() || closed_; });
}

void DialogMailbox::Close() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        closed_ = true;
        for (const std::shared_ptr<Letter>& letter : queue_) letter->answered = true;
        queue_.clear();
    }
    answered_.notify_all();
    mail_.notify_all();
}

bool DialogMailbox::Closed() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return closed_;
}

}  // namespace update
