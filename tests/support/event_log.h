#pragma once
// An ordered record of what fakes were asked to do, safe to add to from any thread.
#include <cstddef>
#include <mutex>
#include <string>
#include <vector>

namespace support {

class EventLog {
public:
    void Add(std::string event);
    std::vector<std::string> Events() const;
    size_t Count(const std::string& event) const;
    void Clear();

private:
    mutable std::mutex mutex_;
    std::vector<std::string> events_;
};

}  // namespace support
