#pragma once
#include <cstdint>

#include "audio/mixer/mixer_api.h"

// Mutes the first microphone line of mixer 0, so that the microphone is not
// played through the speakers during a talk. A microphone line that feeds the
// recording is never muted: that would silence the talk itself.
class COrvikMixer {
public:
    explicit COrvikMixer(MixerApi& api);
    ~COrvikMixer();
    COrvikMixer(const COrvikMixer&) = delete;
    COrvikMixer& operator=(const COrvikMixer&) = delete;

    // False when not ready or a mixer call fails; a failure leaves it not ready.
    bool MuteLine();

    bool Ready() const { return ready_; }
    uint32_t LastError() const { return lastError_; }

private:
    bool FeedsRecording(const MixerLine& line);

    MixerApi& api_;
    MixerHandle handle_ = 0;
    uint32_t controlId_ = 0;
    uint32_t lastError_ = kMixerOk;
    bool ready_ = false;
};
