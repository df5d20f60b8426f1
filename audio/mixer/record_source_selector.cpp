#include "audio/mixer/record_source_selector.h"

#include "audio/mixer/mixer_devices.h"

CRecordSourceSelector::CRecordSourceSelector(MixerApi& api) : api_(api) {
    if (api_.DeviceCount() > 0) {
        const uint32_t device = MixerDeviceFor(api_, kMixerDstWaveIn);
        MixerHandle handle = 0;
        if (api_.Open(device, handle) != kMixerOk) return;
        handle_ = handle;
        MixerCaps caps;
        if (api_.Caps(device, caps) != kMixerOk) return;
    }
    ready_ = FindMicrophone();
}

CRecordSourceSelector::~CRecordSourceSelector() {
    if (handle_) api_.Close(handle_);
}

bool CRecordSourceSelector::FindMicrophone() {
    selectedIndex_ = -1;
    if (!handle_) return false;
    MixerLine recording;
    if (api_.LineByComponentType(handle_, kMixerDstWaveIn, recording) != kMixerOk) return false;
    MixerControl control;
    if (api_.ControlByType(handle_, recording.lineId, kMixerControlMux, control) == kMixerOk) {
        controlType_ = kMixerControlMux;
    } else if (api_.ControlByType(handle_, recording.lineId, kMixerControlMixer, control) == kMixerOk) {
        controlType_ = kMixerControlMixer;
    } else {
        return false;
    }
    controlId_ = control.controlId;
    itemCount_ = control.multipleItems;
    if (itemCount_ == 0) return false;
    std::vector<MixerListItem> items;
    if (api_.GetListTexts(handle_, controlId_, itemCount_, items) != kMixerOk || items.size() != itemCount_) {
        return false;
    }
    selectedIndex_ = FindMicrophoneItem(items);
    return selectedIndex_ >= 0;
}

int32_t CRecordSourceSelector::FindMicrophoneItem(const std::vector<MixerListItem>& items) {
    for (size_t i = 0; i < items.size(); ++i) {
        MixerLine line;
        if (api_.LineById(handle_, items[i].lineId, line) == kMixerOk && line.componentType == kMixerSrcMicrophone) {
            return int32_t(i);
        }
    }
    for (size_t i = 0; i < items.size(); ++i) {
        if (items[i].name == u"Microphone") return int32_t(i);
    }
    return -1;
}

bool CRecordSourceSelector::SelectMicrophone() {
    if (!handle_ || itemCount_ == 0 || selectedIndex_ < 0) return false;
    std::vector<uint32_t> states;
    if (api_.GetBooleans(handle_, controlId_, itemCount_, states) != kMixerOk || states.size() != itemCount_) {
        return false;
    }
    if (controlType_ == kMixerControlMixer) states.assign(itemCount_, 0);
    states[size_t(selectedIndex_)] = 1;
    return api_.SetBooleans(handle_, controlId_, states) == kMixerOk;
}
