#pragma once
#include "codec/tables/tables.h"

// Switched-MA predictive two-stage vector quantisation of the LSFs.
namespace g729a {

// Repairs an unordered or crowded LSF vector; reports clamping at either end on
// standard output.
void StabilizeLsf(double lsf[kOrder]);

// The last four quantised codebook vectors that the MA predictor works on.
struct LspMaMemory {
    double past[kLspMaOrder][kOrder];

    void Reset();
    void Push(const double vector[kOrder]);
    // The quantised LSF that codebook vector `vector` gives under predictor `mode`.
    void Compose(int mode, const double vector[kOrder], double lsf[kOrder]) const;
    // The codebook vector that would give `lsf` under predictor `mode`.
    void Extract(int mode, const double lsf[kOrder], double vector[kOrder]) const;
};

class LspQuantizer {
public:
    // G.729 4.3: initial state of the LSP quantizer.
    void Reset() { memory_.Reset(); }
    // lsp: unquantised LSPs (cosine domain). Writes the quantised LSPs and the two indices.
    void Quantize(const double lsp[kOrder], double quantizedLsp[kOrder], int indices[2]);

private:
    LspMaMemory memory_;
};

class LspDequantizer {
public:
    void Reset();
    void Decode(const int indices[2], bool erased, double lsp[kOrder]);

private:
    LspMaMemory memory_;
    int previousMode_ = 0;
    double previousLsf_[kOrder];
};

}  // namespace g729a
