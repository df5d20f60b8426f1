#pragma once
#include "codec/pitch.h"

// Guards the encoder against pitch-gain runaway: tracks an estimate of the excitation
// error per 40-sample zone of the past excitation.
namespace g729a {

class Taming {
public:
    void Reset();
    // True when a zone the delay reaches has exceeded the error threshold.
    bool Needed(PitchDelay delay) const;
    void Update(double pitchGain, int integerDelay);

private:
    double error_[4];
};

}  // namespace g729a
