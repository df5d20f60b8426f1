#include "codec/post_filter.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <iterator>

#include "codec/dsp.h"
#include "codec/reference_words.h"

namespace g729a {
namespace {

constexpr int kL = kSubframeLength;

// G.729 4.2.4: the powers of the gain control factor.
// kAgcFactor^(i+1) for i = 0..39.
constexpr auto kAgcPowers = [] {
    std::array<double, kSubframeLength> powers{};
    double p = 1.0;
    for (double& v : powers) v = p *= kAgcFactor;
    return powers;
}();

}  // namespace

// G.729 4.3: initial state of the post-filter.
void PostFilter::Reset() {
    std::fill(std::begin(residual_), std::end(residual_), 0.0);
    std::fill(std::begin(memory_), std::end(memory_), 0.0);
}

// G.729 4.2, A.4.2: post-processing of each subframe.
void PostFilter::Run(const double* synthesis, const SubframeFilters& filters, double* out) {
    for (int s = 0; s < 2; ++s) {
        double numerator[kOrder + 1], denominator[kOrder + 1], filtered[kL];
        WeightCoefficients(filters.a[s], kPostNumeratorGamma, numerator);
        WeightCoefficients(filters.a[s], kPostDenominatorGamma, denominator);
        double* residual = residual_ + kPitchMax;
        ResidualFilter(numerator, synthesis + s * kL, residual, kL);
        LongTerm(residual, filters.lags[s], filtered);
        PreEmphasis(filtered, TiltFactor(numerator, denominator));
        SynthesisFilter(denominator, filtered, out + s * kL, kL, memory_, true);
        GainControl(synthesis + s * kL, out + s * kL);
        std::copy(residual_ + kL, std::end(residual_), residual_);
    }
}

// G.729 A.4.2.1: pitch postfilter on integer delays.
// Harmonic filter on the integer delay near the decoded lag with the highest correlation.
void PostFilter::LongTerm(const double* residual, int lag, double* out) const {
    const int tMax = std::min(lag + 3, kPitchMax);
    const int tMin = tMax - 6;
    // All seven correlations in one pass: seven independent sums.
    constexpr int kDelays = 7;
    double correlation[kDelays] = {};
    const double* window = residual - tMax;
    for (int i = 0; i < kL; ++i)
        for (int k = 0; k < kDelays; ++k)
            correlation[k] += residual[i] * window[i + kDelays - 1 - k];
    double best = -1e38;
    int delay = tMin;
    for (int k = 0; k < kDelays; ++k) {
        if (correlation[k] > best) {
            best = correlation[k];
            delay = tMin + k;
        }
    }
    const double* delayed = residual - delay;
    const double delayedEnergy = 0.5 + DotProduct(delayed, delayed, kL);
    const double energy = 0.5 + DotProduct(residual, residual, kL);
    if (best < 0.0) best = 0.0;
    if (best * best < 0.5 * delayedEnergy * energy) {
        std::copy(residual, residual + kL, out);
        return;
    }
    double current, past;
    if (best > delayedEnergy) {
        current = kPostPitchCurrentWeight;
        past = kPostPitchDelayedWeight;
    } else {
        const double weighted = kPostPitchGamma * best;
        past = weighted / (weighted + delayedEnergy);
        current = 1.0 - past;
    }
    for (int i = 0; i < kL; ++i) out[i] = current * residual[i] + past * delayed[i];
}

// G.729 A.4.2.3: tilt factor from the impulse response of the short-term postfilter.
// As in the integer decoder (bit-exact code), both correlations are truncated to words of
// 1/512 (the response in Q12), saturating, and the factor to a truncated Q15 quotient: the
// tilt sets the phase that the post-filter gives a steady tone.
double PostFilter::TiltFactor(const double* numerator, const double* denominator) const {
    double h[kTiltResponseLength] = {};
    std::copy(numerator, numerator + kOrder + 1, h);
    double zero[kOrder] = {};
    SynthesisFilter(denominator, h, h, kTiltResponseLength, zero, false);
    const auto word = [](double r) { return std::min(std::floor(r * 512.0), kLargestWord); };
    const double r0 = word(DotProduct(h, h, kTiltResponseLength));
    const double r1 = word(DotProduct(h, h + 1, kTiltResponseLength - 1));
    if (!(r1 > 0.0)) return 0.0;
    const double weighted = std::floor(r1 * std::floor(kPostTiltFactor * kQ15Scale) / kQ15Scale);
    return std::floor(weighted * kQ15Scale / r0) / kQ15Scale;
}

// G.729 4.2.3: tilt compensation.
void PostFilter::PreEmphasis(double* signal, double factor) {
    const double last = signal[kL - 1];
    for (int i = kL - 1; i > 0; --i) signal[i] -= factor * signal[i - 1];
    signal[0] -= factor * preEmphasisMemory_;
    preEmphasisMemory_ = last;
}

// G.729 4.2.4: adaptive gain control.
void PostFilter::GainControl(const double* in, double* out) {
    const double outEnergy = DotProduct(out, out, kL);
    if (outEnergy == 0.0) {
        gain_ = 0.0;
        return;
    }
    const double inEnergy = DotProduct(in, in, kL);
    const double target =
        inEnergy == 0.0 ? 0.0 : kAgcFactorComplement * std::sqrt(inEnergy / outEnergy);
    // gain[i] = f^(i+1) gain + target (1 - f^(i+1)) / (1 - f): the recursion in closed form.
    const double settled = target / kAgcFactorComplement;
    const double offset = gain_ - settled;
    for (int i = 0; i < kL; ++i) out[i] *= settled + offset * kAgcPowers[i];
    gain_ = settled + offset * kAgcPowers[kL - 1];
}

}  // namespace g729a
