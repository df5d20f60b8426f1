#include "audio/mixer/orvik_mixer.h"

COrvikMixer::COrvikMixer(MixerApi& api) : api_(api) {
    if (api_.DeviceCount() == 0) return;
    MixerHandle handle = 0;
    lastError_ = api_.Open(0, handle);
    if (lastError_ != kMixerOk) return;
    handle_ = handle;
    MixerLine microphone;
    lastError_ = api_.LineByComponentType(handle_, kMixerSrcMicrophone, microphone);
    if (lastError_ != kMixerOk || FeedsRecording(microphone)) return;
    MixerControl mute;
    lastError_ = api_.ControlByType(handle_, microphone.lineId, kMixerControlMute, mute);
    if (lastError_ != kMixerOk) return;
    controlId_ = mute.controlId;
    ready_ = true;
}

COrvikMixer::~COrvikMixer() {
    if (handle_) api_.Close(handle_);
}

bool COrvikMixer::FeedsRecording(const MixerLine& line) {
    MixerLine destination;
    lastError_ = api_.LineByDestination(handle_, line.destination, destination);
    return lastError_ != kMixerOk || destination.componentType == kMixerDstWaveIn;
}

bool COrvikMixer::MuteLine() {
    if (!ready_) return false;
    ready_ = false;
    uint32_t muted = 0;
    lastError_ = api_.GetUnsigned(handle_, controlId_, muted);
    if (lastError_ != kMixerOk) return false;
    lastError_ = api_.SetUnsigned(handle_, controlId_, 1);
    if (lastError_ != kMixerOk) return false;
    ready_ = true;
    return true;
}
