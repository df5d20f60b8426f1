#pragma once
#include <cstdint>

#include "audio/mixer/mixer_api.h"

// The microphone's recording volume: the VOLUME control of the first
// microphone source of the recording destination, looked up once at
// construction on the device that has the recording destination.
class CMixer {
public:
    explicit CMixer(MixerApi& api);

    // Raw 0..65535; 0 when not ready or the control cannot be read.
    uint32_t GetVolume();
    bool SetVolume(uint32_t raw);

    bool Ready() const { return ready_; }
    bool HasControl() const { return controlId_ >= 0; }

private:
    MixerApi& api_;
    uint32_t device_ = 0;
    int64_t controlId_ = -1;  // -1: no microphone volume control
    bool ready_ = false;
};

// The microphone's recording volume in percent, read through a fresh CMixer;
// 0 when it cannot be read.
int32_t GetMicPercent(MixerApi& api);
// Sets it with read-back stepping (see SetPercentWithReadBack).
bool SetMicPercent(MixerApi& api, int32_t percent);
