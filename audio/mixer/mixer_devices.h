#pragma once
#include "audio/mixer/mixer_api.h"

// One mixer device, open for the lifetime of the object.
class OpenMixer {
public:
    OpenMixer(MixerApi& api, uint32_t device);
    ~OpenMixer();
    OpenMixer(const OpenMixer&) = delete;
    OpenMixer& operator=(const OpenMixer&) = delete;

    bool IsOpen() const { return handle_ != 0; }
    MixerHandle Handle() const { return handle_; }

private:
    MixerApi& api_;
    MixerHandle handle_ = 0;
};

// The device to use for a destination line (kMixerDstSpeakers or
// kMixerDstWaveIn). Where every audio endpoint has a mixer of its own, mixer 0
// is usually the speakers and has no recording line; so: mixer 0 when it has
// the destination, else the first device that has it, else mixer 0.
uint32_t MixerDeviceFor(MixerApi& api, uint32_t destinationType);

// The id of the control of `controlType` on the destination line of
// `destinationType`; false when the line or the control is missing.
bool FindDestinationControl(MixerApi& api, MixerHandle handle, uint32_t destinationType, uint32_t controlType,
                            uint32_t& controlId);
