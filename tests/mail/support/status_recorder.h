#pragma once
// Collects the (status, userValue) reports of the library's callbacks.
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <utility>
#include <vector>

namespace mailtest {

class StatusRecorder {
public:
    void Add(int status, int userValue) {
        std::lock_guard guard(lock_);
        reports_.emplace_back(status, userValue);
        changed_.notify_all();
    }
    // True when `count` reports arrived within `limit`.
    bool WaitFor(std::size_t count, std::chrono::seconds limit) {
        std::unique_lock guard(lock_);
        return changed_.wait_for(guard, limit, [&] { return reports_.size() >= count; });
    }
    void Clear() {
        std::lock_guard guard(lock_);
        reports_.clear();
    }
    std::vector<std::pair<int, int>> Reports() {
        std::lock_guard guard(lock_);
        return reports_;
    }

private:
    std::mutex lock_;
    std::condition_variable changed_;
    std::vector<std::pair<int, int>> reports_;
};

}  // namespace mailtest
