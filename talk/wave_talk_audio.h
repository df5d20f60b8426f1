#pragma once
#include "audio/wave_in.h"
#include "audio/wave_out.h"
#include "talk/talk_audio.h"

// The talk's microphone and speaker: a CWaveIn encoding into the capture
// queue and a CWaveOut playing the mix of the received sources, on the
// process-wide wave device factory.
class WaveTalkAudio final : public TalkAudio {
public:
    explicit WaveTalkAudio(platform::Sleeper& sleeper);

    void StartCapture(CBufferMonitor* target) override;
    void StopCapture() override;
    void StartPlayback(PlaybackFeed* feed) override;
    void StopPlayback() override;

private:
    CWaveIn waveIn_;  // constructed before waveOut_, as the codec resets expect
    CWaveOut waveOut_;
};
