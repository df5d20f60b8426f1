#include "audio/mixer/winmm_mixer.h"

#include "audio/mixer/mixer.h"
#include "audio/mixer/orvik_mixer.h"
#include "audio/mixer/speaker_volume.h"

WinmmMixer::WinmmMixer(std::shared_ptr<MixerApi> api) : api_(std::move(api)), selector_(*api_) {}

bool WinmmMixer::SelectMicrophoneAsRecordSource() { return selector_.SelectMicrophone(); }

bool WinmmMixer::SetMicVolume(int32_t percent) { return SetMicPercent(*api_, percent); }

int32_t WinmmMixer::GetMicVolume() { return GetMicPercent(*api_); }

bool WinmmMixer::SetMicVolumeRaw(uint32_t raw) { return CMixer(*api_).SetVolume(raw); }

bool WinmmMixer::SetSpeakerVolume(int32_t percent) { return SetSpeakerPercent(*api_, percent); }

int32_t WinmmMixer::GetSpeakerVolume() { return GetSpeakerPercent(*api_); }

bool WinmmMixer::SetSpeakerVolumeRaw(uint32_t raw) { return SetSpeakerRaw(*api_, raw); }

bool WinmmMixer::MuteFirstMicrophoneLine() { return COrvikMixer(*api_).MuteLine(); }

bool WinmmMixer::SetSpeakerMute(bool mute) { return mute ? MuteSpeakers(*api_) : UnmuteSpeakers(*api_); }
