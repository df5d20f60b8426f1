#pragma once
#include <functional>
#include <memory>

#include "audio/mixer/talk_mixer.h"
#include "audio/wave_in.h"
#include "audio/wave_out.h"
#include "voicemsg/message_recorder.h"

class CBufferMonitor;

namespace voicemsg {

// What a recorder is built from; tests replace any of it.
struct LeaveWordServices {
    WaveDeviceSetup devices;                // the wave devices and the stop waits
    std::function<std::unique_ptr<TalkMixer>()> makeMixer;  // null: no mixer
    std::function<void()> oversizeWarning;  // shown when a block cannot fit even an empty queue
};

// The production wiring: the process-wide wave devices, the system sleeper,
// the platform mixer through its 8-bit calls and the warning box.
LeaveWordServices DefaultLeaveWordServices();

// Records up to a message of raw PCM in 30 ms blocks, plays it back, and
// turns it into its pack text and back. Capture and playback run on the
// devices' callback threads and meet the caller's thread in the queue.
// Construction prepares the sound card for a message: the microphone as the
// recording source at full recording volume, the speakers at half volume and
// unmuted, the microphone's line into the speakers muted.
class CLeaveWordRecorder final : public MessageRecorder {
public:
    explicit CLeaveWordRecorder(LeaveWordServices services);
    ~CLeaveWordRecorder() override;
    CLeaveWordRecorder(const CLeaveWordRecorder&) = delete;
    CLeaveWordRecorder& operator=(const CLeaveWordRecorder&) = delete;

    int32_t GetState() const override { return state_; }
    bool StartRecording() override;
    bool StopRecording() override;
    void StartPlayback() override;
    void StopPlayback() override;
    uint32_t BuildPackText(char* out) override;
    void LoadPackText(const char* text, uint32_t length) override;
    size_t BlockCount() const override;

private:
    std::unique_ptr<CBufferMonitor> queue_;
    CWaveIn waveIn_;
    CWaveOut waveOut_;
    std::unique_ptr<TalkMixer> mixer_;  // holds the record source selector
    int32_t state_ = Idle;
};

}  // namespace voicemsg
