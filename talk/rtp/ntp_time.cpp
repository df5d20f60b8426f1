#include "talk/rtp/ntp_time.h"

namespace rtp {

NtpTimestamp ToNtp(platform::WallTime t) {
    const uint64_t fraction = (uint64_t(t.microseconds) << 32) / 1000000u;
    return {uint32_t(t.seconds + kNtpEpochOffset), uint32_t(fraction)};
}

uint32_t NtpMiddle32(platform::WallTime t) {
    const NtpTimestamp ntp = ToNtp(t);
    return ntp.seconds << 16 | ntp.fraction >> 16;
}

platform::WallTime RtpClock::NowTime() {
    if (!anchored_) {
        const platform::WallTime wall = clock_.WallNow();
        anchorWallMicros_ = wall.seconds * 1000000 + wall.microseconds;
        anchorMonotonic_ = clock_.MonotonicMicros();
        anchored_ = true;
    }
    const int64_t micros = anchorWallMicros_ + int64_t(clock_.MonotonicMicros() - anchorMonotonic_);
    return {micros / 1000000, micros % 1000000};
}

}  // namespace rtp
