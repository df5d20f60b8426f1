#include "codec/decoder.h"

#include <algorithm>
#include <iterator>

#include "codec/dsp.h"
#include "codec/fixed_codebook.h"
#include "codec/lpc.h"
#include "codec/synthesis_headroom.h"

namespace g729a {
namespace {

constexpr int kL = kSubframeLength;

}  // namespace

// G.729 4.3: decoder initialization.
void Decoder::Reset() {
    std::fill(std::begin(excitation_), std::end(excitation_), 0.0);
    std::fill(std::begin(synthesisMemory_), std::end(synthesisMemory_), 0.0);
    sharp_ = kSharpMin;
    previousLag_ = 60;
    gains_ = Gains{};
    lspDequantizer_.Reset();
}

// G.729 4.4.4: the random generator of the replacement excitation.
uint16_t Decoder::NextRandom() {
    randomState_ = static_cast<uint16_t>(randomState_ * 31821u + 13849u);
    return randomState_;
}

// G.729 4.1, 4.4: parameter decoding of one frame, concealing erasures.
void Decoder::Decode(const int params[kDecoderParamCount], int badLsf, double synthesis[80],
                     SubframeFilters& filters) {
    const bool bad = params[kBadFrame] != 0;
    double lsp[kOrder];
    const int lspIndices[2] = {params[kLsp1], params[kLsp2]};
    lspDequantizer_.Decode(lspIndices, params[kBadFrame] + badLsf != 0, lsp);
    InterpolatedLpc(previousLsp_, lsp, filters.a);
    std::copy(lsp, lsp + kOrder, previousLsp_);

    int firstDelay = 0;
    const SubframeParams first{params[kDelay1], params[kPositions1], params[kSigns1],
                               params[kGains1]};
    const SubframeParams second{params[kDelay2], params[kPositions2], params[kSigns2],
                                params[kGains2]};
    DecodeSubframe(0, first, bad, params[kBadFrame] + params[kParityError] != 0, firstDelay,
                   filters, synthesis);
    DecodeSubframe(1, second, bad, bad, firstDelay, filters, synthesis);
    std::copy(excitation_ + kFrameLength, std::end(excitation_), excitation_);
}

// G.729 4.1.2, 4.4: the subframe delay, repeated on erasure.
// A bad delay repeats the previous lag, which then grows by one per concealed subframe.
PitchDelay Decoder::SubframeDelay(int subframe, int index, bool delayBad, int firstDelay) {
    if (delayBad) {
        const PitchDelay delay{previousLag_, 0};
        previousLag_ = std::min(previousLag_ + 1, kPitchMax);
        return delay;
    }
    const PitchDelay delay =
        subframe == 0 ? DecodeFirstDelay(index) : DecodeSecondDelay(index, firstDelay);
    previousLag_ = delay.integer;
    return delay;
}

// G.729 4.1.2 to 4.1.6, 4.4.4: the excitation and speech of one subframe.
void Decoder::DecodeSubframe(int subframe, const SubframeParams& p, bool bad, bool delayBad,
                             int& firstDelay, SubframeFilters& filters, double* synthesis) {
    double* exc = excitation_ + kExcitationHistory + subframe * kL;
    const PitchDelay delay = SubframeDelay(subframe, p.delay, delayBad, firstDelay);
    if (subframe == 0) firstDelay = delay.integer;
    filters.lags[subframe] = delay.integer;
    AdaptiveCodebookVector(exc, delay, kL);

    FixedCodeIndex fixed{p.positions, p.signs};
    if (bad) {
        fixed.positions = NextRandom() & 0x1FFF;
        fixed.signs = NextRandom() & 0xF;
    }
    double code[kL];
    DecodeFixedCodebook(fixed, code);
    PitchSharpen(code, delay.integer, sharp_, kL);

    if (bad)
        ConcealGains(gainPredictor_, gains_);
    else
        DecodeGains(gainPredictor_, p.gains, code, gains_);
    sharp_ = std::clamp(gains_.pitch, kSharpMin, kSharpMax);

    // The excitation is held to the fixed-point decoder's words: with pitch gains above 1 a
    // stream of hostile frames would otherwise grow it until it overflows to infinity.
    for (int i = 0; i < kL; ++i)
        exc[i] = std::clamp(gains_.pitch * exc[i] + gains_.code * code[i], kWordLow, kWordHigh);
    double* speech = synthesis + subframe * kL;
    const double* a = filters.a[subframe];
    SynthesisFilter(a, exc, speech, kL, synthesisMemory_, false);
    // G.729 4.1.6 (bit-exact code): where the fixed-point synthesis would saturate, the
    // whole excitation history is scaled down by 4 and the subframe made again, saturating.
    if (SynthesisSaturates(a, exc, speech, synthesisMemory_, kL)) {
        for (double& e : excitation_) e *= 0.25;
        SaturatingSynthesisFilter(a, exc, speech, kL, synthesisMemory_);
    } else {
        std::copy(speech + kL - kOrder, speech + kL, synthesisMemory_);
    }
}

}  // namespace g729a
