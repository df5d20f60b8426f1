#include "codec/encoder.h"

#include <algorithm>
#include <iterator>

#include "codec/dsp.h"
#include "codec/fixed_codebook.h"
#include "codec/lpc.h"

namespace g729a {
namespace {

constexpr int kL = kSubframeLength;
// Tilt of the weighting filter's denominator: P(z) = A(z/0.75)(1 - 0.7 z^-1).
constexpr double kWeightingTilt = 0.7;

// G.729 3.7.3: computation of the adaptive-codebook gain.
double AdaptiveGain(const double* target, const double* filtered, double coefficients[5]) {
    const double energy = 0.01 + DotProduct(filtered, filtered, kL);
    const double correlation = DotProduct(target, filtered, kL);
    coefficients[0] = energy;
    coefficients[1] = -2.0 * correlation + 0.01;
    return std::clamp(correlation / energy, 0.0, kPitchGainMax);
}

}  // namespace

// G.729 4.3: encoder initialization.
void Encoder::Reset() {
    std::fill(std::begin(speech_), std::end(speech_), 0.0);
    std::fill(std::begin(weighted_), std::end(weighted_), 0.0);
    std::fill(std::begin(excitation_), std::end(excitation_), 0.0);
    std::fill(std::begin(weightingMemory_), std::end(weightingMemory_), 0.0);
    std::fill(std::begin(errorMemory_), std::end(errorMemory_), 0.0);
    sharp_ = kSharpMin;
    std::copy(std::begin(previousLsp_), std::end(previousLsp_), previousQuantizedLsp_);
    lspQuantizer_.Reset();
    taming_.Reset();
}

// G.729 3, A.3: the encoder on one frame.
void Encoder::Encode(int params[11]) {
    double aq[2][kOrder + 1], ap[2][kOrder + 1];
    AnalyseLpc(params, aq, ap);
    ComputeWeightedSpeech(aq, ap);
    PitchRange range = FirstSubframeRange(OpenLoopPitch(weighted_ + kPitchMax));
    const SubframeParams first = EncodeSubframe(0, ap[0], range);
    const SubframeParams second = EncodeSubframe(1, ap[1], range);
    const int rest[9] = {first.delay, PitchParity(first.delay), first.positions, first.signs,
                         first.gains, second.delay, second.positions, second.signs,
                         second.gains};
    std::copy(rest, rest + 9, params + 2);
    ShiftHistories();
}

// G.729 3.2, A.3.3: LP analysis and quantization, with the weighting filter of Annex A.
void Encoder::AnalyseLpc(int params[2], double aq[2][kOrder + 1], double ap[2][kOrder + 1]) {
    double r[kOrder + 1], a[kOrder + 1], lsp[kOrder], quantized[kOrder];
    WindowedAutocorrelation(speech_, r);
    LevinsonDurbin(r, a);
    LpcToLsp(a, lsp, previousLsp_);
    lspQuantizer_.Quantize(lsp, quantized, params);
    InterpolatedLpc(previousQuantizedLsp_, quantized, aq);
    for (int s = 0; s < 2; ++s) WeightCoefficients(aq[s], kWeightingGamma, ap[s]);
    std::copy(lsp, lsp + kOrder, previousLsp_);
    std::copy(quantized, quantized + kOrder, previousQuantizedLsp_);
}

// G.729 A.3.3, A.3.4: the weighted speech of the open-loop search.
// The LP residual goes into the current excitation (the closed-loop pitch search reads it
// there) and, through 1/P(z), into the weighted speech.
void Encoder::ComputeWeightedSpeech(const double aq[2][kOrder + 1],
                                    const double ap[2][kOrder + 1]) {
    const double* speech = speech_ + kSpeechBufferLength - kFrameLength - kLookAhead;
    double* exc = excitation_ + kExcitationHistory;
    double* weighted = weighted_ + kPitchMax;
    for (int s = 0; s < 2; ++s) {
        ResidualFilter(aq[s], speech + s * kL, exc + s * kL, kL);
        double p[kOrder + 1];
        p[0] = 1.0;
        for (int i = 1; i <= kOrder; ++i) p[i] = ap[s][i] - kWeightingTilt * ap[s][i - 1];
        SynthesisFilter(p, exc + s * kL, weighted + s * kL, kL, weightingMemory_, true);
    }
}

// G.729 3.5 to 3.10, A.3.5 to A.3.10: one subframe.
Encoder::SubframeParams Encoder::EncodeSubframe(int subframe, const double ap[kOrder + 1],
                                                PitchRange& range) {
    SubframeParams params;
    double* exc = excitation_ + kExcitationHistory + subframe * kL;
    double h[kL] = {1.0}, target[kL], zero[kOrder] = {};
    SynthesisFilter(ap, h, h, kL, zero, false);
    SynthesisFilter(ap, exc, target, kL, errorMemory_, false);

    const PitchDelay delay = ClosedLoopPitch(exc, target, h, range, subframe == 0);
    if (subframe == 0) {
        params.delay = EncodeFirstDelay(delay);
        range = SecondSubframeRange(delay.integer);
    } else {
        params.delay = EncodeSecondDelay(delay, range);
    }

    double adaptiveFiltered[kL], coefficients[5];
    AdaptiveCodebookVector(exc, delay, kL);
    Convolve(exc, h, adaptiveFiltered, kL);
    double pitchGain = AdaptiveGain(target, adaptiveFiltered, coefficients);
    const bool tamed = taming_.Needed(delay);
    if (tamed && pitchGain > kTamedPitchGain) pitchGain = kTamedPitchGain;

    double fixedTarget[kL], code[kL], codeFiltered[kL];
    for (int i = 0; i < kL; ++i) fixedTarget[i] = target[i] - pitchGain * adaptiveFiltered[i];
    if (delay.integer < kL) PitchSharpen(h, delay.integer, sharp_, kL);
    const FixedCodeIndex fixed = SearchFixedCodebook(fixedTarget, h, code, codeFiltered);
    if (delay.integer < kL) PitchSharpen(code, delay.integer, sharp_, kL);
    params.positions = fixed.positions;
    params.signs = fixed.signs;

    coefficients[2] = 0.01 + DotProduct(codeFiltered, codeFiltered, kL);
    coefficients[3] = -2.0 * (0.01 + DotProduct(target, codeFiltered, kL));
    coefficients[4] = 2.0 * (0.01 + DotProduct(adaptiveFiltered, codeFiltered, kL));
    Gains gains;
    params.gains = QuantizeGains(gainPredictor_, code, coefficients, tamed, gains);

    sharp_ = std::clamp(gains.pitch, kSharpMin, kSharpMax);
    for (int i = 0; i < kL; ++i) exc[i] = gains.pitch * exc[i] + gains.code * code[i];
    taming_.Update(gains.pitch, delay.integer);
    for (int j = 0; j < kOrder; ++j) {
        const int i = kL - kOrder + j;
        errorMemory_[j] =
            target[i] - gains.pitch * adaptiveFiltered[i] - gains.code * codeFiltered[i];
    }
    return params;
}

// G.729 3.10: memory update for the next frame.
void Encoder::ShiftHistories() {
    std::copy(speech_ + kFrameLength, std::end(speech_), speech_);
    std::copy(weighted_ + kFrameLength, std::end(weighted_), weighted_);
    std::copy(excitation_ + kFrameLength, std::end(excitation_), excitation_);
}

}  // namespace g729a
