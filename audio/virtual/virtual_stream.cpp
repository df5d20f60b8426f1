#include "audio/virtual/virtual_stream.h"

#include <algorithm>

namespace {

bool IsPlainPcm(const WaveFormat& f) {
    return f.formatTag == 1 && f.channels == 1 && f.samplesPerSec == 8000 && f.bitsPerSample == 16 &&
           f.blockAlign == 2 && f.avgBytesPerSec == 16000;
}

}  // namespace

VirtualStream::VirtualStream(Messages messages, bool capture, Transfer transfer,
                             std::shared_ptr<VirtualClock> clock)
    : messages_(messages), capture_(capture), transfer_(std::move(transfer)), clock_(std::move(clock)) {}

VirtualStream::~VirtualStream() { Close(); }

uint32_t VirtualStream::Open(const WaveFormat& format, WaveProc proc, void* instance) {
    if (queue_.IsOpen()) return kWaveError;
    if (!IsPlainPcm(format)) return kWaveBadFormat;
    {
        std::lock_guard guard(queue_.Mutex());
        bytesPerSecond_ = format.avgBytesPerSec;
        started_ = !capture_;  // playback starts with the first write
        lastEnd_ = clock_->NowMicros();
    }
    queue_.Open(proc, instance, messages_.open);
    clock_->Attach(this);
    return kWaveOk;
}

uint32_t VirtualStream::Prepare(WaveBuffer* buffer) { return queue_.Prepare(buffer); }

uint32_t VirtualStream::Unprepare(WaveBuffer* buffer) { return queue_.Unprepare(buffer); }

uint32_t VirtualStream::Add(WaveBuffer* buffer) {
    {
        // An idle device starts the new buffer at the clock's next start, not where it stopped.
        std::lock_guard guard(queue_.Mutex());
        if (!queue_.HeadLocked()) lastEnd_ = std::max(lastEnd_, clock_->StartMicros(clock_->NowMicros()));
    }
    const uint32_t result = queue_.Add(buffer);
    clock_->Changed();
    return result;
}

uint32_t VirtualStream::Start() {
    if (!queue_.IsOpen()) return kWaveInvalidHandle;
    {
        std::lock_guard guard(queue_.Mutex());
        started_ = true;
        lastEnd_ = clock_->StartMicros(clock_->NowMicros());
    }
    clock_->Changed();
    return kWaveOk;
}

uint32_t VirtualStream::Reset() {
    if (!queue_.IsOpen()) return kWaveInvalidHandle;
    if (capture_) {
        std::lock_guard guard(queue_.Mutex());
        started_ = false;
    }
    queue_.ReturnAll(messages_.done);
    clock_->Changed();
    return kWaveOk;
}

uint32_t VirtualStream::Close() {
    if (!queue_.IsOpen()) return kWaveInvalidHandle;
    clock_->Detach(this);
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

uint64_t VirtualStream::DueLocked(const WaveBuffer& head) const {
    return lastEnd_ + uint64_t(head.length) * 1000000 / bytesPerSecond_;
}

std::optional<uint64_t> VirtualStream::NextDue() {
    std::lock_guard guard(queue_.Mutex());
    const WaveBuffer* head = queue_.HeadLocked();
    if (!started_ || !head) return std::nullopt;
    return DueLocked(*head);
}
