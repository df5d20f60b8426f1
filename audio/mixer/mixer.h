#pragma once
#include <cstdint>
#include <optional>

#include "audio/mixer/mixer_api.h"

// The microphone's recording volume: the VOLUME control of the first
// microphone source of the recording destination, looked up once at
// construction on the device that has the recording destination.
class CMixer {
public:
    explicit CMixer(MixerApi& api);

    // Raw 0..65535; 0 when there is no control or it cannot be read.
    uint32_t GetVolume();
    bool SetVolume(uint32_t raw);

private:
    MixerApi& api_;
    uint32_t device_ = 0;
    std::optional<uint32_t> controlId_;
};

// The microphone's recording volume in percent, read through a fresh CMixer;
// 0 when it cannot be read.
int32_t GetMicPercent(MixerApi& api);
// Sets it with read-back stepping (see SetPercentWithReadBack).
bool SetMicPercent(MixerApi& api, int32_t percent);
