#include "audio/linux/alsa_stream.h"

#include <algorithm>
#include <cerrno>

#include "audio/linux/alsa_pcm.h"
#include "platform/thread_name.h"

namespace {

constexpr int kWaitMs = 20;  // bounds how long a reset or close waits for the thread
// Past the moment the PCM should be ready, so that a wait seldom ends too early.
constexpr std::chrono::microseconds kLateness{1000};
constexpr uint32_t kBytesPerFrame = 2;  // 16-bit mono

}  // namespace

AlsaStream::AlsaStream(std::string pcmName, snd_pcm_stream_t direction, Messages messages)
    : pcmName_(std::move(pcmName)), direction_(direction), messages_(messages) {}

AlsaStream::~AlsaStream() { Close(); }

uint32_t AlsaStream::Open(const WaveFormat& format, WaveProc proc, void* instance) {
    if (pcm_) return kWaveError;
    pcm_ = OpenAlsaPcm(pcmName_.c_str(), direction_, format);
    if (!pcm_) return kWaveBadDeviceId;
    snd_pcm_uframes_t period = 0;
    if (snd_pcm_get_params(pcm_, &ringFrames_, &period) < 0) ringFrames_ = 0;
    rate_ = format.samplesPerSec;
    started_ = !Capture();  // playback starts with the first write
    stopping_ = false;
    queue_.Open(proc, instance, messages_.open);
    thread_ = std::thread(&AlsaStream::Run, this);
    return kWaveOk;
}

uint32_t AlsaStream::Start() {
    if (!pcm_) return kWaveInvalidHandle;
    {
        std::lock_guard guard(queue_.Mutex());
        if (snd_pcm_start(pcm_) < 0) return kWaveError;
        started_ = true;
    }
    queue_.Changed().notify_all();
    return kWaveOk;
}

uint32_t AlsaStream::Reset() {
    if (!pcm_) return kWaveInvalidHandle;
    {
        std::lock_guard guard(queue_.Mutex());
        // What was captured so far goes back with the head being filled, as a
        // short buffer. (A finished head waiting for its callback is not current.)
        WaveBuffer* head = queue_.HeadLocked();
        if (Capture() && started_ && head && head == current_) MoveLocked(*head);
        snd_pcm_drop(pcm_);
        snd_pcm_prepare(pcm_);
        if (Capture()) started_ = false;
        current_ = nullptr;
    }
    queue_.ReturnAll(messages_.done);
    return kWaveOk;
}

uint32_t AlsaStream::Close() {
    if (!pcm_) return kWaveInvalidHandle;
    {
        std::lock_guard guard(queue_.Mutex());
        stopping_ = true;
    }
    queue_.Changed().notify_all();
    stopSignal_.Signal();
    thread_.join();
    snd_pcm_drop(pcm_);
    snd_pcm_close(pcm_);
    pcm_ = nullptr;
    current_ = nullptr;
    queue_.Close(messages_.close);
    return kWaveOk;
}

// One wake-up per buffer: sleep until the PCM should have room or data for
// all of it and try again; only if it is still short, let the PCM's own wait
// settle the rest. (Each call into a sound server's PCM plugin costs several
// system calls, so a wait that would end at once is not made.)
void AlsaStream::Run() {
    platform::NameThisThread(Capture() ? "alsa-in" : "alsa-out");
    bool slept = false;  // the last wait was a sleep
    for (;;) {
        const uint32_t ticket = stopSignal_.Ticket();
        WaveBuffer* finished = nullptr;
        std::chrono::microseconds pause{0};
        {
            std::unique_lock lock(queue_.Mutex());
            if (stopping_) return;
            WaveBuffer* head = queue_.HeadLocked();
            if (!started_ || !head) {
                slept = false;
                queue_.Changed().wait_for(lock, std::chrono::milliseconds(kWaitMs));
                continue;
            }
            pause = TransferLocked(*head);
            if (!current_) finished = head;
        }
        if (finished) {
            slept = false;
            queue_.Complete(finished, messages_.done);
        } else if (pause.count() > 0 && !slept) {
            stopSignal_.WaitUntil(ticket, std::chrono::steady_clock::now() + pause + kLateness);
            slept = true;
        } else {
            // Part of the head moved, or it is still short after a sleep. The
            // PCM may wake at once with less than the head needs, so a sleep
            // comes next if it does.
            slept = false;
            snd_pcm_wait(pcm_, kWaitMs);
        }
    }
}

std::chrono::microseconds AlsaStream::TransferLocked(WaveBuffer& head) {
    FollowLocked(head);
    const snd_pcm_sframes_t available = snd_pcm_avail_update(pcm_);
    if (available < 0) {
        Recover(available);
        return std::chrono::microseconds(0);
    }
    // A head longer than half the ring goes over in pieces, so that playback
    // never waits for an empty ring.
    const snd_pcm_uframes_t left = (head.length - offset_) / kBytesPerFrame;
    const snd_pcm_uframes_t wanted = std::min(left, ringFrames_ / 2);
    if (snd_pcm_uframes_t(available) < wanted) return PauseBefore(wanted, snd_pcm_uframes_t(available));
    MoveLocked(head);
    return std::chrono::microseconds(0);
}

void AlsaStream::FollowLocked(WaveBuffer& head) {
    if (current_ == &head) return;
    current_ = &head;
    offset_ = 0;
}

void AlsaStream::MoveLocked(WaveBuffer& head) {
    uint8_t* at = head.data + offset_;
    const snd_pcm_uframes_t frames = (head.length - offset_) / kBytesPerFrame;
    const snd_pcm_sframes_t moved = Capture() ? snd_pcm_readi(pcm_, at, frames) : snd_pcm_writei(pcm_, at, frames);
    if (moved < 0) {
        if (moved != -EAGAIN) Recover(moved);
        return;
    }
    offset_ += uint32_t(moved) * kBytesPerFrame;
    if (Capture()) head.bytesRecorded = offset_;
    if (head.length - offset_ < kBytesPerFrame) current_ = nullptr;
}

// An overrun or underrun: carry on from a prepared device.
void AlsaStream::Recover(snd_pcm_sframes_t error) {
    snd_pcm_recover(pcm_, int(error), 1);
    if (Capture()) snd_pcm_start(pcm_);
}

// Playback room grows as the device plays, so the wait is for the missing
// frames. Captured data may come in the sound server's own chunks, not frame
// by frame; waiting for the missing frames alone would wake before the chunk
// that holds them, so a capture waits for a whole buffer's time.
std::chrono::microseconds AlsaStream::PauseBefore(snd_pcm_uframes_t wanted, snd_pcm_uframes_t available) const {
    const snd_pcm_uframes_t frames = Capture() ? wanted : wanted - available;
    return std::chrono::microseconds(frames * 1000000 / rate_);
}
