#pragma once
#include <cstdint>

#include "audio/mixer/mixer_api.h"

// Makes the microphone the recording source: the item of the recording
// destination's input selector (a MUX, or else a MIXER control) that stands
// for a microphone line, or else the item named "Microphone". Keeps its mixer
// open from construction to destruction.
class CRecordSourceSelector {
public:
    explicit CRecordSourceSelector(MixerApi& api);
    ~CRecordSourceSelector();
    CRecordSourceSelector(const CRecordSourceSelector&) = delete;
    CRecordSourceSelector& operator=(const CRecordSourceSelector&) = delete;

    // Looks the microphone item up; true when one was found.
    bool FindMicrophone();
    // Turns the microphone item on (for a MIXER control, every other item off);
    // true when the write succeeded.
    bool SelectMicrophone();

    bool Ready() const { return ready_; }
    uint32_t ControlType() const { return controlType_; }
    int32_t SelectedIndex() const { return selectedIndex_; }

private:
    int32_t FindMicrophoneItem(const std::vector<MixerListItem>& items);

    MixerApi& api_;
    MixerHandle handle_ = 0;
    uint32_t controlType_ = 0;
    uint32_t controlId_ = 0;
    uint32_t itemCount_ = 0;
    int32_t selectedIndex_ = -1;
    bool ready_ = false;
};
