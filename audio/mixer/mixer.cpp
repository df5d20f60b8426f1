#include "audio/mixer/mixer.h"

#include "audio/mixer/mixer_devices.h"
#include "audio/mixer/volume_percent.h"

CMixer::CMixer(MixerApi& api) : api_(api) {
    device_ = MixerDeviceFor(api_, kMixerDstWaveIn);
    OpenMixer mixer(api_, device_);
    if (!mixer.IsOpen()) return;
    MixerLine recording;
    if (api_.LineByComponentType(mixer.Handle(), kMixerDstWaveIn, recording) != kMixerOk) return;
    for (uint32_t source = 0; source < recording.connections; ++source) {
        MixerLine line;
        if (api_.LineBySource(mixer.Handle(), recording.destination, source, line) != kMixerOk ||
            line.componentType != kMixerSrcMicrophone) {
            continue;
        }
        MixerControl volume;
        if (api_.ControlByType(mixer.Handle(), line.lineId, kMixerControlVolume, volume) == kMixerOk) {
            controlId_ = volume.controlId;
        }
        break;
    }
}

uint32_t CMixer::GetVolume() {
    if (!controlId_) return 0;
    OpenMixer mixer(api_, device_);
    uint32_t raw = 0;
    if (!mixer.IsOpen() || api_.GetUnsigned(mixer.Handle(), *controlId_, raw) != kMixerOk) return 0;
    return raw;
}

bool CMixer::SetVolume(uint32_t raw) {
    if (!controlId_) return false;
    OpenMixer mixer(api_, device_);
    return mixer.IsOpen() && api_.SetUnsigned(mixer.Handle(), *controlId_, raw) == kMixerOk;
}

int32_t GetMicPercent(MixerApi& api) { return PercentFromRaw(CMixer(api).GetVolume()); }

bool SetMicPercent(MixerApi& api, int32_t percent) {
    CMixer writer(api);
    return SetPercentWithReadBack(
        percent, [&api] { return GetMicPercent(api); }, [&writer](uint32_t raw) { return writer.SetVolume(raw); });
}
