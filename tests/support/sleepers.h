#pragma once
#include <string>

#include "platform/clock.h"
#include "tests/support/event_log.h"

namespace support {

// Logs each wait as "sleep N" instead of sleeping.
class RecordingSleeper final : public platform::Sleeper {
public:
    explicit RecordingSleeper(EventLog& log) : log_(log) {}
    void SleepMs(uint32_t ms) override { log_.Add("sleep " + std::to_string(ms)); }

private:
    EventLog& log_;
};

// Skips every wait.
class NoSleeper final : public platform::Sleeper {
public:
    void SleepMs(uint32_t) override {}
};

}  // namespace support
