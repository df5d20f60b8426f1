#include "audio/virtual/virtual_stream.h"

#include <algorithm>
#include <chrono>

#include "audio/virtual/wave_test_clock.h"
#include "platform/thread_name.h"

namespace {

bool IsPlainPcm(const WaveFormat& f) {
    return f.formatTag == 1 && f.channels == 1 && f.samplesPerSec == 8000 && f.bitsPerSample == 16 &&
           f.blockAlign == 2 && f.avgBytesPerSec == 16000;
}

}  // namespace

VirtualStream::VirtualStream(Messages messages, bool capture, Transfer transfer,
                             std::shared_ptr<WaveTestClock> clock)
    : messages_(messages), capture_(capture), transfer_(std::move(transfer)), clock_(std::move(clock)) {}

VirtualStream::~VirtualStream() { Close(); }

uint32_t VirtualStream::Open(const WaveFormat& format, WaveProc proc, void* instance) {
    if (queue_.IsOpen()) return kWaveError;
    if (!IsPlainPcm(format)) return kWaveBadFormat;
    {
        std::lock_guard guard(queue_.Mutex());
        bytesPerSecond_ = format.avgBytesPerSec;
        started_ = !capture_;  // playback starts with the first write
        stopping_ = false;
        lastEnd_ = Now();
    }
    queue_.Open(proc, instance, messages_.open);
    if (clock_)
        clock_->Attach(this);
    else
        thread_ = std::thread(&VirtualStream::RunRealTime, this);
    return kWaveOk;
}

uint32_t VirtualStream::Prepare(WaveBuffer* buffer) { return queue_.Prepare(buffer); }

uint32_t VirtualStream::Unprepare(WaveBuffer* buffer) { return queue_.Unprepare(buffer); }

uint32_t VirtualStream::Add(WaveBuffer* buffer) {
    {
        // An idle device starts the new buffer now, not where it stopped.
        std::lock_guard guard(queue_.Mutex());
        if (!queue_.HeadLocked()) lastEnd_ = std::max(lastEnd_, Now());
    }
    const uint32_t result = queue_.Add(buffer);
    changed_.Signal();
    return result;
}

uint32_t VirtualStream::Start() {
    if (!queue_.IsOpen()) return kWaveInvalidHandle;
    {
        std::lock_guard guard(queue_.Mutex());
        started_ = true;
        lastEnd_ = Now();
    }
    changed_.Signal();
    return kWaveOk;
}

uint32_t VirtualStream::Reset() {
    if (!queue_.IsOpen()) return kWaveInvalidHandle;
    if (capture_) {
        std::lock_guard guard(queue_.Mutex());
        started_ = false;
    }
    queue_.ReturnAll(messages_.done);
    changed_.Signal();
    return kWaveOk;
}

uint32_t VirtualStream::Close() {
    if (!queue_.IsOpen()) return kWaveInvalidHandle;
    if (clock_) clock_->Detach(this);
    {
        std::lock_guard guard(queue_.Mutex());
        stopping_ = true;
    }
    changed_.Signal();
    if (thread_.joinable()) thread_.join();
    queue_.Close(messages_.close);
    return kWaveOk;
}

void VirtualStream::Pump(uint64_t nowMicros) {
    for (;;) {
        WaveBuffer* head;
        {
            std::lock_guard guard(queue_.Mutex());
            head = queue_.HeadLocked();
            if (!started_ || !head) return;
            const uint64_t due = DueLocked(*head);
            if (due > nowMicros) return;
            transfer_(*head);
            lastEnd_ = due;
        }
        queue_.Complete(head, messages_.done);
    }
}

uint64_t VirtualStream::Now() const {
    if (clock_) return clock_->NowMicros();
    using namespace std::chrono;
    return uint64_t(duration_cast<microseconds>(steady_clock::now().time_since_epoch()).count());
}

uint64_t VirtualStream::DueLocked(const WaveBuffer& head) const {
    return lastEnd_ + uint64_t(head.length) * 1000000 / bytesPerSecond_;
}

std::optional<uint64_t> VirtualStream::NextDueLocked() const {
    const WaveBuffer* head = queue_.HeadLocked();
    if (!started_ || !head) return std::nullopt;
    return DueLocked(*head);
}

// The lock is not held while sleeping: the device's own callbacks, which add
// buffers back, never wait for this thread, nor it for them.
void VirtualStream::RunRealTime() {
    platform::NameThisThread(capture_ ? "virtual-in" : "virtual-out");
    for (;;) {
        const uint32_t ticket = changed_.Ticket();
        std::optional<uint64_t> due;
        {
            std::lock_guard guard(queue_.Mutex());
            if (stopping_) return;
            due = NextDueLocked();
        }
        if (!due) {
            changed_.Wait(ticket);
        } else if (Now() < *due) {
            changed_.WaitUntil(ticket, std::chrono::steady_clock::time_point{std::chrono::microseconds(*due)});
        } else {
            Pump(Now());
        }
    }
}
