#include "audio/mixer/speaker_volume.h"

#include "audio/mixer/mixer_devices.h"
#include "audio/mixer/volume_percent.h"

namespace {

// Opens the speakers' device and writes one value to one of their controls.
bool WriteSpeakerControl(MixerApi& api, uint32_t controlType, uint32_t value) {
    OpenMixer mixer(api, MixerDeviceFor(api, kMixerDstSpeakers));
    uint32_t controlId = 0;
    return mixer.IsOpen() && FindDestinationControl(api, mixer.Handle(), kMixerDstSpeakers, controlType, controlId) &&
           api.SetUnsigned(mixer.Handle(), controlId, value) == kMixerOk;
}

}  // namespace

int32_t GetSpeakerPercent(MixerApi& api) {
    OpenMixer mixer(api, MixerDeviceFor(api, kMixerDstSpeakers));
    uint32_t controlId = 0;
    uint32_t raw = 0;
    if (!mixer.IsOpen() ||
        !FindDestinationControl(api, mixer.Handle(), kMixerDstSpeakers, kMixerControlVolume, controlId) ||
        api.GetUnsigned(mixer.Handle(), controlId, raw) != kMixerOk) {
        return -1;
    }
    return PercentFromRaw(raw);
}

bool SetSpeakerPercent(MixerApi& api, int32_t percent) {
    OpenMixer mixer(api, MixerDeviceFor(api, kMixerDstSpeakers));
    uint32_t controlId = 0;
    if (!mixer.IsOpen() ||
        !FindDestinationControl(api, mixer.Handle(), kMixerDstSpeakers, kMixerControlVolume, controlId)) {
        return false;
    }
    return SetPercentWithReadBack(
        percent, [&api] { return GetSpeakerPercent(api); },
        [&](uint32_t raw) { return api.SetUnsigned(mixer.Handle(), controlId, raw) == kMixerOk; });
}

bool SetSpeakerRaw(MixerApi& api, uint32_t raw) { return WriteSpeakerControl(api, kMixerControlVolume, raw); }

bool MuteSpeakers(MixerApi& api) { return WriteSpeakerControl(api, kMixerControlMute, 1); }

bool UnmuteSpeakers(MixerApi& api) { return WriteSpeakerControl(api, kMixerControlMute, 0); }
