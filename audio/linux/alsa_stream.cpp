#include "audio/linux/alsa_stream.h"

#include <cerrno>
#include <chrono>

#include "audio/linux/alsa_pcm.h"
#include "platform/thread_name.h"

namespace {

constexpr int kWaitMs = 20;  // bounds how long a reset or close waits for the thread

}  // namespace

AlsaStream::AlsaStream(std::string pcmName, snd_pcm_stream_t direction, Messages messages)
    : pcmName_(std::move(pcmName)), direction_(direction), messages_(messages) {}

AlsaStream::~AlsaStream() { Close(); }

uint32_t AlsaStream::Open(const WaveFormat& format, WaveProc proc, void* instance) {
    if (pcm_) return kWaveError;
    pcm_ = OpenAlsaPcm(pcmName_.c_str(), direction_, format);
    if (!pcm_) return kWaveBadDeviceId;
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
    thread_.join();
    snd_pcm_drop(pcm_);
    snd_pcm_close(pcm_);
    pcm_ = nullptr;
    current_ = nullptr;
    queue_.Close(messages_.close);
    return kWaveOk;
}

void AlsaStream::Run() {
    platform::NameThisThread(Capture() ? "alsa-in" : "alsa-out");
    for (;;) {
        {
            std::unique_lock lock(queue_.Mutex());
            if (stopping_) return;
            if (!started_ || !queue_.HeadLocked()) {
                queue_.Changed().wait_for(lock, std::chrono::milliseconds(kWaitMs));
                continue;
            }
        }
        snd_pcm_wait(pcm_, kWaitMs);
        WaveBuffer* finished = nullptr;
        {
            std::lock_guard guard(queue_.Mutex());
            WaveBuffer* head = queue_.HeadLocked();
            if (!stopping_ && started_ && head && TransferLocked(*head)) finished = head;
        }
        if (finished) queue_.Complete(finished, messages_.done);
    }
}

bool AlsaStream::TransferLocked(WaveBuffer& head) {
    if (current_ != &head) {
        current_ = &head;
        offset_ = 0;
    }
    uint8_t* at = head.data + offset_;
    const snd_pcm_uframes_t frames = (head.length - offset_) / 2;
    const snd_pcm_sframes_t moved = Capture() ? snd_pcm_readi(pcm_, at, frames) : snd_pcm_writei(pcm_, at, frames);
    if (moved == -EAGAIN) return false;
    if (moved < 0) {
        // An overrun or underrun: carry on from a prepared device.
        snd_pcm_recover(pcm_, int(moved), 1);
        if (Capture()) snd_pcm_start(pcm_);
        return false;
    }
    offset_ += uint32_t(moved) * 2;
    if (Capture()) head.bytesRecorded = offset_;
    if (offset_ < head.length) return false;
    current_ = nullptr;
    return true;
}
