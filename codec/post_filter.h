#pragma once
#include "codec/decoder.h"

// Adaptive post-filter of the decoder: long-term, tilt, short-term and gain control.
namespace g729a {

class PostFilter {
public:
    // Resets the residual history and the filter memory; the pre-emphasis memory and the
    // running gain are set only at load.
    void Reset();
    // synthesis[-kOrder..79]: the decoded frame with its history. Writes 80 samples to out.
    void Run(const double* synthesis, const SubframeFilters& filters, double* out);

private:
    void LongTerm(const double* residual, int lag, double* out) const;
    double TiltFactor(const double* numerator, const double* denominator) const;
    void PreEmphasis(double* signal, double factor);
    void GainControl(const double* in, double* out);

    double residual_[kPitchMax + kSubframeLength] = {};
    double memory_[kOrder] = {};
    double preEmphasisMemory_ = 0.0;
    double gain_ = 1.0;
};

}  // namespace g729a
