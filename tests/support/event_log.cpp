#include "tests/support/event_log.h"

#include <algorithm>

namespace support {

void EventLog::Add(std::string event) {
    std::lock_guard guard(mutex_);
    events_.push_back(std::move(event));
}

std::vector<std::string> EventLog::Events() const {
    std::lock_guard guard(mutex_);
    return events_;
}

size_t EventLog::Count(const std::string& event) const {
    std::lock_guard guard(mutex_);
    return size_t(std::count(events_.begin(), events_.end(), event));
}

void EventLog::Clear() {
    std::lock_guard guard(mutex_);
    events_.clear();
}

}  // namespace support
