#pragma once
#include <cstdint>

#include "platform/clock.h"

namespace rtp {

// Seconds between 1900-01-01 (NTP era 0) and 1970-01-01.
constexpr uint32_t kNtpEpochOffset = 2208988800u;

struct NtpTimestamp {
    uint32_t seconds = 0;
    uint32_t fraction = 0;  // 1/2^32 s
};

NtpTimestamp ToNtp(platform::WallTime t);
// Middle 32 bits of the NTP time stamp of t: 16 bits of seconds, 16 of fraction.
uint32_t NtpMiddle32(platform::WallTime t);

// The session's wall clock: the wall time read once, then advanced by the
// monotonic clock, so that it never jumps when the system time is set.
class RtpClock {
public:
    explicit RtpClock(platform::Clock& clock) : clock_(clock) {}
    platform::WallTime NowTime();

private:
    platform::Clock& clock_;
    bool anchored_ = false;
    int64_t anchorWallMicros_ = 0;
    uint64_t anchorMonotonic_ = 0;
};

}  // namespace rtp
