#pragma once
#include <alsa/asoundlib.h>

#include <chrono>
#include <cstdint>
#include <string>
#include <thread>

#include "audio/wave_buffer_queue.h"
#include "platform/wake_signal.h"

// One direction of an ALSA PCM run as a wave device: a thread of its own moves
// the head buffer to or from the PCM at the device's pace and returns it
// through the callback when it is full (capture) or handed over (playback).
class AlsaStream {
public:
    struct Messages {
        uint32_t open, close, done;
    };

    AlsaStream(std::string pcmName, snd_pcm_stream_t direction, Messages messages);
    ~AlsaStream();
    AlsaStream(const AlsaStream&) = delete;
    AlsaStream& operator=(const AlsaStream&) = delete;

    uint32_t Open(const WaveFormat& format, WaveProc proc, void* instance);
    uint32_t Prepare(WaveBuffer* buffer) { return queue_.Prepare(buffer); }
    uint32_t Unprepare(WaveBuffer* buffer) { return queue_.Unprepare(buffer); }
    uint32_t Add(WaveBuffer* buffer) { return queue_.Add(buffer); }
    uint32_t Start();
    uint32_t Reset();
    uint32_t Close();

private:
    bool Capture() const { return direction_ == SND_PCM_STREAM_CAPTURE; }
    void Run();
    // Moves the head once the PCM can take or give all of it; clears current_
    // when the head is finished, else gives how long until the PCM should be ready.
    std::chrono::microseconds TransferLocked(WaveBuffer& head);
    void FollowLocked(WaveBuffer& head);  // starts on a new head
    // Moves what the PCM can take or give now, up to the rest of the head;
    // clears current_ when the head is finished.
    void MoveLocked(WaveBuffer& head);
    void Recover(snd_pcm_sframes_t error);
    std::chrono::microseconds PauseBefore(snd_pcm_uframes_t wanted, snd_pcm_uframes_t available) const;

    const std::string pcmName_;
    const snd_pcm_stream_t direction_;
    const Messages messages_;
    WaveBufferQueue queue_;
    snd_pcm_t* pcm_ = nullptr;
    bool started_ = false;
    bool stopping_ = false;
    WaveBuffer* current_ = nullptr;  // the head being transferred
    uint32_t offset_ = 0;            // its bytes done so far
    snd_pcm_uframes_t ringFrames_ = 0;
    uint32_t rate_ = 8000;
    platform::WakeSignal stopSignal_;  // ends a pause at Close
    std::thread thread_;
};
