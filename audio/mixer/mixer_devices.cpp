#include "audio/mixer/mixer_devices.h"

OpenMixer::OpenMixer(MixerApi& api, uint32_t device) : api_(api) {
    MixerHandle handle = 0;
    if (api_.Open(device, handle) == kMixerOk) handle_ = handle;
}

OpenMixer::~OpenMixer() {
    if (handle_) api_.Close(handle_);
}

namespace {

bool HasDestination(MixerApi& api, uint32_t device, uint32_t destinationType) {
    OpenMixer mixer(api, device);
    MixerLine line;
    return mixer.IsOpen() && api.LineByComponentType(mixer.Handle(), destinationType, line) == kMixerOk;
}

}  // namespace

uint32_t MixerDeviceFor(MixerApi& api, uint32_t destinationType) {
    const uint32_t count = api.DeviceCount();
    for (uint32_t device = 0; device < count; ++device) {
        if (HasDestination(api, device, destinationType)) return device;
    }
    return 0;
}

bool FindDestinationControl(MixerApi& api, MixerHandle handle, uint32_t destinationType, uint32_t controlType,
                            uint32_t& controlId) {
    MixerLine line;
    MixerControl control;
    if (api.LineByComponentType(handle, destinationType, line) != kMixerOk ||
        api.ControlByType(handle, line.lineId, controlType, control) != kMixerOk) {
        return false;
    }
    controlId = control.controlId;
    return true;
}
