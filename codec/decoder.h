#pragma once
#include <cstdint>

#include "codec/gain_quantizer.h"
#include "codec/lsp_quantizer.h"
#include "codec/pitch.h"

// The frame decoder: 11 parameters (plus erasure information) into 80 synthesised samples.
namespace g729a {

// What the post-filter needs from the decoder besides the synthesis.
struct SubframeFilters {
    double a[2][kOrder + 1];  // interpolated LP coefficients per subframe
    int lags[2];              // integer pitch lag per subframe
};

// Indices of the decoder's parameter array: element 0 is the bad-frame flag, 1-11 the
// frame's parameters, the parity bit replaced by the parity check result.
enum DecoderParam { kBadFrame = 0, kLsp1, kLsp2, kDelay1, kParityError, kPositions1, kSigns1,
                    kGains1, kDelay2, kPositions2, kSigns2, kGains2, kDecoderParamCount };

class Decoder {
public:
    // Resets everything except the previous LSPs, the gain predictor and the random
    // generator, which only the load sets.
    void Reset();
    void Decode(const int params[kDecoderParamCount], int badLsf, double synthesis[80],
                SubframeFilters& filters);

    uint16_t NextRandom();

private:
    static constexpr int kExcitationHistory = kPitchMax + kInterpolationLength;

    struct SubframeParams {
        int delay, positions, signs, gains;
    };
    PitchDelay SubframeDelay(int subframe, int index, bool delayBad, int firstDelay);
    void DecodeSubframe(int subframe, const SubframeParams& p, bool bad, bool delayBad,
                        int& firstDelay, SubframeFilters& filters, double* synthesis);

    double excitation_[kExcitationHistory + kFrameLength] = {};
    double synthesisMemory_[kOrder] = {};
    double sharp_ = kSharpMin;
    int previousLag_ = 60;
    Gains gains_;
    LspDequantizer lspDequantizer_;
    double previousLsp_[kOrder] = {kInitialLsp[0], kInitialLsp[1], kInitialLsp[2],
                                   kInitialLsp[3], kInitialLsp[4], kInitialLsp[5],
                                   kInitialLsp[6], kInitialLsp[7], kInitialLsp[8],
                                   kInitialLsp[9]};
    GainPredictor gainPredictor_;
    uint16_t randomState_ = 21845;
};

}  // namespace g729a
