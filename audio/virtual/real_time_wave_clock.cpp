#include "audio/virtual/real_time_wave_clock.h"

#include <algorithm>
#include <chrono>
#include <optional>

#include "audio/virtual/virtual_stream.h"
#include "platform/thread_name.h"

namespace {

constexpr uint64_t kGridMicros = 10000;

uint64_t SteadyMicros() {
    using namespace std::chrono;
    return uint64_t(duration_cast<microseconds>(steady_clock::now().time_since_epoch()).count());
}

}  // namespace

RealTimeWaveClock::RealTimeWaveClock() : epoch_(SteadyMicros()) {}

RealTimeWaveClock::~RealTimeWaveClock() {
    {
        std::lock_guard guard(lock_);
        stopping_ = true;
    }
    changed_.Signal();
    if (thread_.joinable()) thread_.join();
}

uint64_t RealTimeWaveClock::NowMicros() const { return SteadyMicros(); }

uint64_t RealTimeWaveClock::StartMicros(uint64_t now) const {
    const uint64_t sinceEpoch = now - std::min(now, epoch_);
    return epoch_ + (sinceEpoch + kGridMicros - 1) / kGridMicros * kGridMicros;
}

void RealTimeWaveClock::Attach(VirtualStream* stream) {
    {
        std::lock_guard guard(lock_);
        streams_.push_back(stream);
        if (!thread_.joinable()) thread_ = std::thread(&RealTimeWaveClock::Run, this);
    }
    changed_.Signal();
}

// Waits for a pass that may still use the stream.
void RealTimeWaveClock::Detach(VirtualStream* stream) {
    std::lock_guard guard(lock_);
    streams_.erase(std::remove(streams_.begin(), streams_.end(), stream), streams_.end());
}

void RealTimeWaveClock::Changed() { changed_.Signal(); }

// The lock is not held while sleeping. The devices' callbacks, which add
// buffers back, run under it but never take it.
void RealTimeWaveClock::Run() {
    platform::NameThisThread("virtual-audio");
    for (;;) {
        const uint32_t ticket = changed_.Ticket();
        if (Stopping()) return;
        const std::optional<uint64_t> due = PumpAll();
        if (!due)
            changed_.Wait(ticket);
        else if (*due > NowMicros())
            changed_.WaitUntil(ticket, std::chrono::steady_clock::time_point{std::chrono::microseconds(*due)});
    }
}

bool RealTimeWaveClock::Stopping() {
    std::lock_guard guard(lock_);
    return stopping_;
}

std::optional<uint64_t> RealTimeWaveClock::PumpAll() {
    std::lock_guard guard(lock_);
    std::optional<uint64_t> earliest;
    for (VirtualStream* stream : streams_) {
        stream->Pump(NowMicros());
        if (const auto due = stream->NextDue(); due && (!earliest || *due < *earliest)) earliest = due;
    }
    return earliest;
}
