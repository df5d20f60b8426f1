#pragma once
#include <memory>

#include "audio/mixer/mixer_api.h"
#include "audio/mixer/record_source_selector.h"
#include "audio/mixer/talk_mixer.h"

// The mixer operations over a winmm-shaped mixer: the record source selector
// lives as long as this object (and keeps its device open); the other
// operations open the mixer for each call.
class WinmmMixer final : public TalkMixer {
public:
    explicit WinmmMixer(std::shared_ptr<MixerApi> api);

    bool SelectMicrophoneAsRecordSource() override;
    bool SetMicVolume(int32_t percent) override;
    int32_t GetMicVolume() override;
    bool SetMicVolumeRaw(uint32_t raw) override;
    bool SetSpeakerVolume(int32_t percent) override;
    int32_t GetSpeakerVolume() override;
    bool SetSpeakerVolumeRaw(uint32_t raw) override;
    bool MuteFirstMicrophoneLine() override;
    bool SetSpeakerMute(bool mute) override;

private:
    std::shared_ptr<MixerApi> api_;
    CRecordSourceSelector selector_;
};
