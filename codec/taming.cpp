#include "codec/taming.h"

namespace g729a {
namespace {

// G.729 5: the 40-sample zones of the taming procedure of the reference software.
int Zone(int sample) { return sample / kSubframeLength; }

}  // namespace

// G.729 4.3, 5: the taming error estimates start at 1.
void Taming::Reset() {
    for (double& e : error_) e = 1.0;
}

// G.729 5: test of the taming procedure before the pitch gain is used.
bool Taming::Needed(PitchDelay delay) const {
    const int t = delay.integer + (delay.fraction > 0 ? 1 : 0);
    const int first = t - (kSubframeLength + kInterpolationHalfLength);
    const int lastZone = Zone(t + kInterpolationHalfLength - 2);
    double worst = -1.0;
    for (int z = Zone(first < 0 ? 0 : first); z <= lastZone; ++z)
        if (error_[z] > worst) worst = error_[z];
    return worst > kTamingThreshold;
}

// G.729 5: update of the taming error estimates with the quantized pitch gain.
void Taming::Update(double pitchGain, int integerDelay) {
    double worst = -1.0;
    if (integerDelay < kSubframeLength) {
        const double e1 = 1.0 + pitchGain * error_[0];
        const double e2 = 1.0 + pitchGain * e1;
        worst = e1 > e2 ? e1 : e2;
    } else {
        const int lastZone = Zone(integerDelay - 1);
        for (int z = Zone(integerDelay - kSubframeLength); z <= lastZone; ++z) {
            const double e = 1.0 + pitchGain * error_[z];
            if (e > worst) worst = e;
        }
    }
    for (int i = 3; i > 0; --i) error_[i] = error_[i - 1];
    error_[0] = worst;
}

}  // namespace g729a
