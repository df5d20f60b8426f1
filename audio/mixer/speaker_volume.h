#pragma once
#include <cstdint>

#include "audio/mixer/mixer_api.h"

// The speakers: the VOLUME and MUTE controls of the speaker destination, on
// the device that has it. Each operation opens the device and closes it again.

// Percent 0..100; -1 when the device, line or control is missing or the read fails.
int32_t GetSpeakerPercent(MixerApi& api);
// Sets it with read-back stepping (see SetPercentWithReadBack); false when
// the control is missing.
bool SetSpeakerPercent(MixerApi& api, int32_t percent);
// Writes a raw volume 0..65535 once, without reading back.
bool SetSpeakerRaw(MixerApi& api, uint32_t raw);
bool MuteSpeakers(MixerApi& api);
bool UnmuteSpeakers(MixerApi& api);
