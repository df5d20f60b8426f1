#pragma once
#include "codec/gain_quantizer.h"
#include "codec/lsp_quantizer.h"
#include "codec/taming.h"

// The frame encoder: analysis-by-synthesis of one 80-sample frame into 11 parameters.
namespace g729a {

class Encoder {
public:
    // Resets everything except the previous unquantised LSPs and the gain predictor,
    // which only the load sets.
    void Reset();
    // G.729 3.1: where the caller writes the newest 80 pre-processed samples before Encode.
    double* NewSpeech() { return speech_ + kSpeechBufferLength - kFrameLength; }
    // Writes the frame's 11 parameters in transmission order.
    void Encode(int params[11]);

private:
    static constexpr int kExcitationHistory = kPitchMax + kInterpolationLength;

    void AnalyseLpc(int params[2], double aq[2][kOrder + 1], double ap[2][kOrder + 1]);
    void ComputeWeightedSpeech(const double aq[2][kOrder + 1], const double ap[2][kOrder + 1]);
    struct SubframeParams {
        int delay = 0, positions = 0, signs = 0, gains = 0;
    };
    // Also moves `range` on to subframe 2's search range after subframe 1.
    SubframeParams EncodeSubframe(int subframe, const double ap[kOrder + 1], PitchRange& range);
    void ShiftHistories();

    double speech_[kSpeechBufferLength] = {};
    double weighted_[kPitchMax + kFrameLength] = {};
    double excitation_[kExcitationHistory + kFrameLength] = {};
    double weightingMemory_[kOrder] = {};
    double errorMemory_[kOrder] = {};
    double sharp_ = kSharpMin;
    double previousLsp_[kOrder] = {kInitialLsp[0], kInitialLsp[1], kInitialLsp[2],
                                   kInitialLsp[3], kInitialLsp[4], kInitialLsp[5],
                                   kInitialLsp[6], kInitialLsp[7], kInitialLsp[8],
                                   kInitialLsp[9]};
    double previousQuantizedLsp_[kOrder] = {};
    LspQuantizer lspQuantizer_;
    Taming taming_;
    GainPredictor gainPredictor_;
};

}  // namespace g729a
