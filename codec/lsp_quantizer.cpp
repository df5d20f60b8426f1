#include "codec/lsp_quantizer.h"

#include <cmath>
#include <cstdio>

#include "codec/dsp.h"

namespace g729a {
namespace {

constexpr int kSplit = kOrder / 2;

// G.729 3.2.4: rearrangement to a minimum distance (J = 0.0012, then 0.0006).
void Expand(double v[kOrder], double gap) {
    for (int j = 1; j < kOrder; ++j) {
        const double t = (v[j - 1] - v[j] + gap) * 0.5;
        if (t > 0.0) {
            v[j - 1] -= t;
            v[j] += t;
        }
    }
}

// G.729 3.2.4, 4.1.1: the quantized vector of the codebook indices L1, L2, L3.
// Codebook vector of the three indices, rearranged to keep a minimum spacing.
void CodebookVector(int first, int low, int high, double v[kOrder]) {
    for (int j = 0; j < kSplit; ++j) v[j] = kLspCodebook1[first][j] + kLspCodebook2[low][j];
    for (int j = kSplit; j < kOrder; ++j) v[j] = kLspCodebook1[first][j] + kLspCodebook2[high][j];
    Expand(v, kLsfGap1);
    Expand(v, kLsfGap2);
}

// G.729 3.2.4: one weight of the weighted distance.
double WeightFor(double distance) {
    const double d = distance - 1.0;
    return d < 0.0 ? 10.0 * d * d + 1.0 : 1.0;
}

// G.729 3.2.4: the weights of the weighted distance.
void LsfWeights(const double lsf[kOrder], double w[kOrder]) {
    w[0] = WeightFor(lsf[1] - kLsfWeightLowEdge);
    for (int i = 1; i < kOrder - 1; ++i) w[i] = WeightFor(lsf[i + 1] - lsf[i - 1]);
    w[kOrder - 1] = WeightFor(kLsfWeightHighEdge - lsf[kOrder - 2]);
    w[4] *= kLsfMidWeight;
    w[5] *= kLsfMidWeight;
}

// The first-stage codebook stored by element, so that one element of all 128 distances is
// updated at a time over contiguous memory.
struct TransposedCodebook {
    double element[kOrder][kLspCodebook1Size];

    // G.729 3.2.4: the first-stage codebook L1, stored by element.
    TransposedCodebook() {
        for (int i = 0; i < kLspCodebook1Size; ++i)
            for (int j = 0; j < kOrder; ++j) element[j][i] = kLspCodebook1[i][j];
    }
};

const TransposedCodebook firstStage;

// G.729 3.2.4: first-stage search.
int NearestFirstStage(const double target[kOrder]) {
    double distance[kLspCodebook1Size];
    for (int i = 0; i < kLspCodebook1Size; i += 4) {
        Double2 d0 = {0.0, 0.0}, d1 = {0.0, 0.0};
        for (int j = 0; j < kOrder; ++j) {
            const Double2 t = {target[j], target[j]};
            const Double2 e0 = t - Load2(firstStage.element[j] + i);
            const Double2 e1 = t - Load2(firstStage.element[j] + i + 2);
            d0 += e0 * e0;
            d1 += e1 * e1;
        }
        Store2(distance + i, d0);
        Store2(distance + i + 2, d1);
    }
    double lane[4] = {distance[0], distance[1], distance[2], distance[3]};
    for (int i = 4; i < kLspCodebook1Size; i += 4)
        for (int l = 0; l < 4; ++l) lane[l] = distance[i + l] < lane[l] ? distance[i + l] : lane[l];
    const double a = lane[0] < lane[1] ? lane[0] : lane[1];
    const double b = lane[2] < lane[3] ? lane[2] : lane[3];
    const double minimum = a < b ? a : b;
    int best = 0;
    while (best < kLspCodebook1Size - 1 && distance[best] != minimum) ++best;
    return best;
}

// G.729 3.2.4: second-stage search of the lower or upper half.
// Best second-stage entry for the half of the first-stage error starting at `from`.
int NearestSecondStage(const double error[kOrder], const double w[kOrder], int from) {
    int best = 0;
    double bestDistance = 1e38;
    for (int i = 0; i < kLspCodebook2Size; ++i) {
        double e[kSplit];
        for (int j = 0; j < kSplit; ++j) {
            const double d = error[from + j] - kLspCodebook2[i][from + j];
            e[j] = d * d * w[from + j];
        }
        const double distance = ((e[0] + e[1]) + (e[2] + e[3])) + e[4];
        if (distance < bestDistance) {
            bestDistance = distance;
            best = i;
        }
    }
    return best;
}

// G.729 3.2.4, 4.1.1: LSFs back to the cosine domain.
void LsfToLsp(const double lsf[kOrder], double lsp[kOrder]) {
    for (int i = 0; i < kOrder; ++i) lsp[i] = std::cos(lsf[i]);
}

}  // namespace

// G.729 4.1.1: stability of the quantized LSFs (order, limits, minimum distance).
void StabilizeLsf(double lsf[kOrder]) {
    for (int j = 0; j < kOrder - 1; ++j) {
        if (lsf[j + 1] < lsf[j]) {
            const double t = lsf[j + 1];
            lsf[j + 1] = lsf[j];
            lsf[j] = t;
        }
    }
    if (lsf[0] < kLsfLowLimit) {
        lsf[0] = kLsfLowLimit;
        std::fputs("warning LSP Low \n", stdout);
    }
    for (int j = 0; j < kOrder - 1; ++j)
        if (lsf[j + 1] - lsf[j] < kLsfMinSpacing) lsf[j + 1] = lsf[j] + kLsfMinSpacing;
    if (lsf[kOrder - 1] > kLsfHighLimit) {
        lsf[kOrder - 1] = kLsfHighLimit;
        std::fputs("warning LSP High \n", stdout);
    }
}

// G.729 4.3: the initial MA predictor memory.
void LspMaMemory::Reset() {
    for (auto& vector : past)
        for (int j = 0; j < kOrder; ++j) vector[j] = kLspMaMemoryReset[j];
}

// G.729 3.2.4: update of the MA predictor memory.
void LspMaMemory::Push(const double vector[kOrder]) {
    for (int k = kLspMaOrder - 1; k > 0; --k)
        for (int j = 0; j < kOrder; ++j) past[k][j] = past[k - 1][j];
    for (int j = 0; j < kOrder; ++j) past[0][j] = vector[j];
}

// G.729 3.2.4, 4.1.1: the quantized LSFs from a codebook vector and the MA prediction.
void LspMaMemory::Compose(int mode, const double vector[kOrder], double lsf[kOrder]) const {
    for (int j = 0; j < kOrder; ++j) {
        double s = vector[j] * kLspMaPredictorSum[mode][j];
        for (int k = 0; k < kLspMaOrder; ++k) s += kLspMaPredictor[mode][k][j] * past[k][j];
        lsf[j] = s;
    }
}

// G.729 3.2.4, 4.4.1: the codebook vector that gives the LSFs under the MA prediction.
void LspMaMemory::Extract(int mode, const double lsf[kOrder], double vector[kOrder]) const {
    for (int j = 0; j < kOrder; ++j) {
        double s = lsf[j];
        for (int k = 0; k < kLspMaOrder; ++k) s -= kLspMaPredictor[mode][k][j] * past[k][j];
        vector[j] = s * kLspMaPredictorSumInverse[mode][j];
    }
}

// G.729 3.2.4: quantization of the LSP coefficients.
void LspQuantizer::Quantize(const double lsp[kOrder], double quantizedLsp[kOrder],
                            int indices[2]) {
    double lsf[kOrder], weights[kOrder];
    for (int i = 0; i < kOrder; ++i) lsf[i] = std::acos(lsp[i]);
    LsfWeights(lsf, weights);

    int first[2], low[2], high[2];
    double distance[2];
    for (int mode = 0; mode < 2; ++mode) {
        double target[kOrder], error[kOrder], vector[kOrder];
        memory_.Extract(mode, lsf, target);
        first[mode] = NearestFirstStage(target);
        for (int j = 0; j < kOrder; ++j) error[j] = target[j] - kLspCodebook1[first[mode]][j];
        low[mode] = NearestSecondStage(error, weights, 0);
        high[mode] = NearestSecondStage(error, weights, kSplit);
        CodebookVector(first[mode], low[mode], high[mode], vector);
        distance[mode] = 0.0;
        for (int j = 0; j < kOrder; ++j) {
            const double e = (vector[j] - target[j]) * kLspMaPredictorSum[mode][j];
            distance[mode] += weights[j] * e * e;
        }
    }
    const int mode = distance[1] < distance[0] ? 1 : 0;
    indices[0] = (mode << 7) | first[mode];
    indices[1] = (low[mode] << 5) | high[mode];

    double vector[kOrder], quantizedLsf[kOrder];
    CodebookVector(first[mode], low[mode], high[mode], vector);
    memory_.Compose(mode, vector, quantizedLsf);
    memory_.Push(vector);
    StabilizeLsf(quantizedLsf);
    LsfToLsp(quantizedLsf, quantizedLsp);
}

// G.729 4.3: initial state of the LSP decoder.
void LspDequantizer::Reset() {
    memory_.Reset();
    previousMode_ = 0;
    for (int j = 0; j < kOrder; ++j) previousLsf_[j] = kLspMaMemoryReset[j];
}

// G.729 4.1.1, 4.4.1: decoding of the LP filter parameters, repeated on erasure.
void LspDequantizer::Decode(const int indices[2], bool erased, double lsp[kOrder]) {
    double vector[kOrder];
    if (erased) {
        memory_.Extract(previousMode_, previousLsf_, vector);
        memory_.Push(vector);
    } else {
        const int mode = (indices[0] >> 7) & 1;
        CodebookVector(indices[0] & 0x7F, (indices[1] >> 5) & 0x1F, indices[1] & 0x1F, vector);
        memory_.Compose(mode, vector, previousLsf_);
        memory_.Push(vector);
        StabilizeLsf(previousLsf_);
        previousMode_ = mode;
    }
    LsfToLsp(previousLsf_, lsp);
}

}  // namespace g729a
