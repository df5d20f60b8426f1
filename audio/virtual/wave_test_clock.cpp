#include "audio/virtual/wave_test_clock.h"

#include <algorithm>

#include "audio/virtual/virtual_stream.h"

uint64_t WaveTestClock::NowMicros() const {
    std::lock_guard guard(lock_);
    return now_;
}

void WaveTestClock::Advance(uint32_t milliseconds) {
    for (uint32_t i = 0; i < milliseconds; ++i) {
        std::lock_guard pumping(pumpLock_);
        std::vector<VirtualStream*> streams;
        uint64_t now;
        {
            std::lock_guard guard(lock_);
            now = now_ += 1000;
            streams = streams_;
        }
        for (VirtualStream* stream : streams) stream->Pump(now);
    }
}

void WaveTestClock::Attach(VirtualStream* stream) {
    std::lock_guard guard(lock_);
    streams_.push_back(stream);
}

void WaveTestClock::Detach(VirtualStream* stream) {
    std::lock_guard pumping(pumpLock_);  // not while a step may still use the stream
    std::lock_guard guard(lock_);
    streams_.erase(std::remove(streams_.begin(), streams_.end(), stream), streams_.end());
}
