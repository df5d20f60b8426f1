#include "codec/synthesis_headroom.h"

#include <algorithm>
#include <cmath>

#include "codec/tables/tables.h"

namespace g729a {
namespace {

// An output word saturates below its lowest value and, through its rounding, from half a
// step (one in our scale) above its highest.
constexpr double kRoundsPastHigh = kWordHigh + 1.0;
// The accumulator holds 2^31 for a sum of Q12 coefficients times words, doubled by the
// fractional multiply: 2^18 words, 2^19 in our scale.
constexpr double kAccumulatorLimit = 524288.0;

// The accumulator's order: the excitation first, then the outputs from the newest back.
// p points at the output being computed, with kOrder outputs before it.
template <typename Hold>
double AccumulatedOutput(const double* a, double x, const double* p, Hold hold) {
    double s = hold(x);
    for (int m = 1; m <= kOrder; ++m) s = hold(s - a[m] * p[-m]);
    return s;
}

}  // namespace

bool SynthesisSaturates(const double* a, const double* x, const double* y, const double* memory,
                        int length) {
    double loudestOut = 0.0, loudestIn = 0.0;
    for (int i = 0; i < length; ++i) {
        if (y[i] >= kRoundsPastHigh || y[i] < kWordLow) return true;
        loudestOut = std::max(loudestOut, std::fabs(y[i]));
        loudestIn = std::max(loudestIn, std::fabs(x[i]));
    }
    for (int i = 0; i < kOrder; ++i) loudestOut = std::max(loudestOut, std::fabs(memory[i]));
    double coefficientSum = 0.0;
    for (int m = 1; m <= kOrder; ++m) coefficientSum += std::fabs(a[m]);
    // No partial sum can pass this bound; below it the accumulator cannot saturate.
    if (loudestIn + coefficientSum * loudestOut < kAccumulatorLimit) return false;

    double history[kOrder + kFrameLength];
    std::copy(memory, memory + kOrder, history);
    std::copy(y, y + length, history + kOrder);
    bool saturated = false;
    const auto watch = [&saturated](double s) {
        saturated = saturated || std::fabs(s) >= kAccumulatorLimit;
        return s;
    };
    for (int n = 0; n < length && !saturated; ++n)
        AccumulatedOutput(a, x[n], history + kOrder + n, watch);
    return saturated;
}

void SaturatingSynthesisFilter(const double* a, const double* x, double* y, int length,
                               double* memory) {
    double history[kOrder + kFrameLength];
    std::copy(memory, memory + kOrder, history);
    const auto hold = [](double s) { return std::clamp(s, -kAccumulatorLimit, kAccumulatorLimit); };
    for (int n = 0; n < length; ++n) {
        double* p = history + kOrder + n;
        *p = std::clamp(AccumulatedOutput(a, x[n], p, hold), kWordLow, kWordHigh);
    }
    std::copy(history + kOrder, history + kOrder + length, y);
    std::copy(history + length, history + length + kOrder, memory);
}

}  // namespace g729a
