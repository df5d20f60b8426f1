#include "codec/pitch.h"

#include <cmath>
#include <cstdlib>
#include <initializer_list>

#include "codec/dsp.h"

namespace g729a {
namespace {

constexpr double kNoMaximum = -1e38;

// The weighted speech split into its even and odd samples, so that the correlations over
// every second sample run over contiguous memory.
class DecimatedSpeech {
public:
    // G.729 A.3.4: the weighted speech decimated for the open-loop search.
    explicit DecimatedSpeech(const double* w) {
        for (int k = 0; k < kHalf; ++k) {
            even_[k] = k == 0 ? 0.0 : w[2 * k - 2 * kHalf + kFrameLength];
            odd_[k] = w[2 * k - 2 * kHalf + kFrameLength + 1];
        }
    }
    // G.729 A.3.4: samples w[0], w[2], ..., w[78].
    const double* Current() const { return even_ + kHalf - kFrameLength / 2; }
    // G.729 A.3.4: samples w[-delay], w[2 - delay], ...
    const double* Delayed(int delay) const {
        return (delay % 2 == 0 ? even_ : odd_) + kHalf - kFrameLength / 2 - (delay + 1) / 2;
    }

private:
    static constexpr int kHalf = (kPitchMax + 1 + kFrameLength) / 2;  // covers w[-144..79]
    double even_[kHalf];  // even_[k] = w[2k - 144]
    double odd_[kHalf];   // odd_[k] = w[2k - 143]
};

constexpr int kDecimatedLength = kFrameLength / 2;

// G.729 A.3.4: the correlation over every second sample.
double DecimatedCorrelation(const DecimatedSpeech& s, int delay) {
    return DotProduct(s.Current(), s.Delayed(delay), kDecimatedLength);
}

// G.729 A.3.4: a maximum normalised by the energy at its delay.
double NormalisedMaximum(const DecimatedSpeech& s, double maximum, int delay) {
    const double* past = s.Delayed(delay);
    return maximum / std::sqrt(0.01 + DotProduct(past, past, kDecimatedLength));
}

// G.729 A.3.4: the best delay of one of the three ranges.
void SearchRange(const DecimatedSpeech& w, int from, int to, int step, double& maximum,
                 int& delay) {
    for (int t = from; t < to; t += step) {
        const double c = DecimatedCorrelation(w, t);
        if (c > maximum) {
            maximum = c;
            delay = t;
        }
    }
}

}  // namespace

// G.729 3.4, A.3.4: open-loop pitch analysis.
int OpenLoopPitch(const double* speech) {
    const DecimatedSpeech w(speech);
    double max1 = kNoMaximum, max2 = kNoMaximum, max3 = kNoMaximum;
    int t1 = 20, t2 = 40, t3 = 80;
    SearchRange(w, 20, 40, 1, max1, t1);
    SearchRange(w, 40, 80, 1, max2, t2);
    SearchRange(w, 80, kPitchMax, 2, max3, t3);
    const int centre = t3;
    SearchRange(w, centre + 1, centre + 2, 1, max3, t3);
    SearchRange(w, centre - 1, centre, 1, max3, t3);

    max1 = NormalisedMaximum(w, max1, t1);
    max2 = NormalisedMaximum(w, max2, t2);
    max3 = NormalisedMaximum(w, max3, t3);

    // Favour the shorter delays when a longer one is one of their multiples.
    if (std::abs(2 * t2 - t3) < 5) max2 += 0.25 * max3;
    if (std::abs(3 * t2 - t3) < 7) max2 += 0.25 * max3;
    if (std::abs(2 * t1 - t2) < 5) max1 += 0.2 * max2;
    if (std::abs(3 * t1 - t2) < 7) max1 += 0.2 * max2;

    int chosen = t1;
    double kept = max1;
    if (kept < max2) {
        kept = max2;
        chosen = t2;
    }
    if (kept < max3) chosen = t3;
    return chosen;
}

namespace {

// G.729 3.7: a closed-loop search range kept inside 20..143.
// A search range of `width` + 1 delays starting `below` under `center`, kept inside the delay limits.
PitchRange RangeAround(int center, int below, int width) {
    PitchRange r;
    r.min = center - below < kPitchMin ? kPitchMin : center - below;
    r.max = r.min + width;
    if (r.max > kPitchMax) {
        r.max = kPitchMax;
        r.min = kPitchMax - width;
    }
    return r;
}

}  // namespace

// G.729 3.7: the first subframe searches around the open-loop delay.
PitchRange FirstSubframeRange(int openLoopPitch) { return RangeAround(openLoopPitch, 3, 6); }

// G.729 3.7: the second subframe searches around the first delay.
PitchRange SecondSubframeRange(int firstDelay) { return RangeAround(firstDelay, 5, 9); }

// G.729 3.7, A.3.7: adaptive-codebook search.
PitchDelay ClosedLoopPitch(double* exc, const double* target, const double* h, PitchRange range,
                           bool firstSubframe) {
    double d[kSubframeLength];
    BackwardFilter(target, h, d, kSubframeLength);

    PitchDelay best{range.min, 0};
    double maximum = kNoMaximum;
    for (int t = range.min; t <= range.max; ++t) {
        const double c = DotProduct(d, exc - t, kSubframeLength);
        if (c > maximum) {
            maximum = c;
            best.integer = t;
        }
    }
    // Long delays in subframe 1 are coded without fractions.
    if (firstSubframe && best.integer > 84) return best;
    for (int fraction : {-1, 1}) {
        AdaptiveCodebookVector(exc, PitchDelay{best.integer, fraction}, kSubframeLength);
        const double c = DotProduct(d, exc, kSubframeLength);
        if (c > maximum) {
            maximum = c;
            best.fraction = fraction;
        }
    }
    return best;
}

// G.729 3.7.1: generation of the adaptive-codebook vector.
void AdaptiveCodebookVector(double* exc, PitchDelay delay, int length) {
    const double* x0 = exc - delay.integer;
    int phase = -delay.fraction;
    if (phase < 0) {
        phase += 3;
        --x0;
    }
    // One 20-tap kernel over x0[j - 9 .. j + 10]: the interpolation filter's left half at
    // this phase (reversed) and its right half at the complementary phase.
    constexpr int kTaps = 2 * kInterpolationHalfLength;
    double kernel[kTaps];
    for (int i = 0; i < kInterpolationHalfLength; ++i) {
        kernel[kInterpolationHalfLength - 1 - i] = kInterpolation3[phase + 3 * i];
        kernel[kInterpolationHalfLength + i] = kInterpolation3[3 - phase + 3 * i];
    }
    // Two outputs at a time. For delays below the length the input overlaps the output
    // already written; the window of output j + 1 always ends at least 9 samples before j.
    const double* window = x0 - (kInterpolationHalfLength - 1);
    int j = 0;
    for (; j + 2 <= length; j += 2) {
        Double2 even = {0.0, 0.0}, odd = {0.0, 0.0};
        for (int t = 0; t < kTaps; t += 2) {
            even += Double2{kernel[t], kernel[t]} * Load2(window + j + t);
            odd += Double2{kernel[t + 1], kernel[t + 1]} * Load2(window + j + t + 1);
        }
        Store2(exc + j, even + odd);
    }
    for (; j < length; ++j) exc[j] = DotProduct(window + j, kernel, kTaps);
}

// G.729 3.7.2: codeword of the first subframe delay.
int EncodeFirstDelay(PitchDelay delay) {
    if (delay.integer <= 85) return 3 * delay.integer - 58 + delay.fraction;
    return delay.integer + 112;
}

// G.729 3.7.2: codeword of the second subframe delay.
int EncodeSecondDelay(PitchDelay delay, PitchRange range) {
    return 3 * (delay.integer - range.min) + 2 + delay.fraction;
}

// G.729 4.1.2: the first subframe delay from its codeword.
PitchDelay DecodeFirstDelay(int index) {
    PitchDelay delay;
    if (index < 197) {
        delay.integer = (index + 2) / 3 + 19;
        delay.fraction = index - 3 * delay.integer + 58;
    } else {
        delay.integer = index - 112;
        delay.fraction = 0;
    }
    return delay;
}

// G.729 4.1.2: the second subframe delay from its codeword.
PitchDelay DecodeSecondDelay(int index, int firstDelay) {
    const PitchRange range = SecondSubframeRange(firstDelay);
    const int i = (index + 2) / 3 - 1;
    return PitchDelay{range.min + i, index - 2 - 3 * i};
}

// G.729 3.7.2: the parity bit P0 of the first delay index.
int PitchParity(int index) {
    int sum = 1;
    for (int bit = 2; bit < 8; ++bit) sum += (index >> bit) & 1;
    return sum & 1;
}

}  // namespace g729a
