#include "codec/lsp_quantizer.h"

#include <cmath>
#include <cstdio>

#include "codec/cosine.h"
#include "codec/dsp.h"
#include "codec/float4.h"
#include "codec/reference_words.h"

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

// G.729 3.2.4: the codebooks' values, exactly as the Recommendation gives them.
double FirstStage(int i, int j) { return kLspCodebook1[i][j] / kLspCodebook1Scale; }
double SecondStage(int i, int j) { return kLspCodebook2[i][j] / kLspCodebook2Scale; }

// G.729 3.2.4, 4.1.1: the quantized vector of the codebook indices L1, L2, L3.
// Codebook vector of the three indices, rearranged to keep a minimum spacing.
void CodebookVector(int first, int low, int high, double v[kOrder]) {
    for (int j = 0; j < kSplit; ++j) v[j] = FirstStage(first, j) + SecondStage(low, j);
    for (int j = kSplit; j < kOrder; ++j) v[j] = FirstStage(first, j) + SecondStage(high, j);
    Expand(v, kLsfGap1);
    Expand(v, kLsfGap2);
}

// The codebook searches estimate every distance in floats in the codebook's integer units,
// then compute the exact distance of each entry near the smallest estimate. An estimate
// is within 0.1 sqrt(d) + 1e-6 d (in those units) of its exact distance d: the target's
// rounding to a float dominates. The reach allows ten times that and 1e-4 rad^2 more, so
// an entry beyond it is further than the nearest.
double EstimateReach(double least, double scale) {
    return least + (std::sqrt(least) + 1e-5 * least + 1e-4 * scale * scale);
}

// Index of the first smallest exact distance over all entries.
template <typename Exact>
int FirstNearest(const float* estimate, int count, double scale, Exact exact) {
    float least = estimate[0];
    for (int i = 1; i < count; ++i) least = estimate[i] < least ? estimate[i] : least;
    const double reach = EstimateReach(least, scale);
    int best = -1;
    double bestDistance = 0.0;
    for (int i = 0; i < count; ++i) {
        if (estimate[i] > reach) continue;
        const double distance = exact(i);
        if (best < 0 || distance < bestDistance) {
            best = i;
            bestDistance = distance;
        }
    }
    return best;
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

// A codebook stored by element, so that one element of four estimates is updated at a
// time over contiguous memory.
template <int kEntries>
struct ByElement {
    int16_t element[kOrder][kEntries];

    explicit ByElement(const int16_t (&entries)[kEntries][kOrder]) {
        for (int i = 0; i < kEntries; ++i)
            for (int j = 0; j < kOrder; ++j) element[j][i] = entries[i][j];
    }
};

// G.729 3.2.4: the first- and second-stage codebooks L1 and L2/L3, stored by element.
const ByElement<kLspCodebook1Size> firstStageByElement(kLspCodebook1);
const ByElement<kLspCodebook2Size> secondStageByElement(kLspCodebook2);

// estimate[i] ~ sum over elements j = from..to-1 of w[j] (scaled[j] - entry i's element j)^2.
template <int kEntries>
void Estimate(const ByElement<kEntries>& book, const float* scaled, const float* w, int from,
              int to, float* estimate) {
    for (int i = 0; i < kEntries; i += 4) {
        Float4 sum = Splat4(0.0f);
        for (int j = from; j < to; ++j) {
            const Float4 e = Splat4(scaled[j]) - Load4(book.element[j] + i);
            sum += Splat4(w[j]) * (e * e);
        }
        Store4(estimate + i, sum);
    }
}

// G.729 3.2.4: first-stage search. Like the second stage, out of line: inlined into
// both predictors' passes, each search would be fetched twice, cold, per frame.
[[gnu::noinline]] int NearestFirstStage(const double target[kOrder]) {
    float scaled[kOrder], unit[kOrder];
    for (int j = 0; j < kOrder; ++j) {
        scaled[j] = static_cast<float>(target[j] * kLspCodebook1Scale);
        unit[j] = 1.0f;
    }
    float estimate[kLspCodebook1Size];
    Estimate(firstStageByElement, scaled, unit, 0, kOrder, estimate);
    return FirstNearest(estimate, kLspCodebook1Size, kLspCodebook1Scale, [target](int i) {
        double distance = 0.0;
        for (int j = 0; j < kOrder; ++j) {
            const double e = target[j] - FirstStage(i, j);
            distance += e * e;
        }
        return distance;
    });
}

// G.729 3.2.4: second-stage search of the lower or upper half.
// Best second-stage entry for the half of the first-stage error starting at `from`.
[[gnu::noinline]] int NearestSecondStage(const double error[kOrder], const double w[kOrder],
                                         int from) {
    float scaled[kOrder], weights[kOrder];
    for (int j = from; j < from + kSplit; ++j) {
        scaled[j] = static_cast<float>(error[j] * kLspCodebook2Scale);
        weights[j] = static_cast<float>(w[j]);
    }
    float estimate[kLspCodebook2Size];
    Estimate(secondStageByElement, scaled, weights, from, from + kSplit, estimate);
    return FirstNearest(estimate, kLspCodebook2Size, kLspCodebook2Scale, [error, w, from](int i) {
        double e[kSplit];
        for (int j = 0; j < kSplit; ++j) {
            const double d = error[from + j] - SecondStage(i, from + j);
            e[j] = d * d * w[from + j];
        }
        return ((e[0] + e[1]) + (e[2] + e[3])) + e[4];
    });
}

// G.729 3.2.4, 4.1.1: LSFs back to the cosine domain, in the integer decoder's words.
void LsfToLsp(const double lsf[kOrder], double lsp[kOrder]) {
    for (int i = 0; i < kOrder; ++i) lsp[i] = RoundedWord(Cosine(lsf[i]), kLspWordScale);
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
// Truncated to the integer decoder's LSF words: on a periodic signal, whose LP spectrum has
// sharp peaks, that bias alone shifts the decoded phase measurably.
void LspMaMemory::Compose(int mode, const double vector[kOrder], double lsf[kOrder]) const {
    for (int j = 0; j < kOrder; ++j) {
        double s = vector[j] * kLspMaPredictorSum[mode][j];
        for (int k = 0; k < kLspMaOrder; ++k) s += kLspMaPredictor[mode][k][j] * past[k][j];
        lsf[j] = TruncatedWord(s, kLsfWordScale);
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
    for (int i = 0; i < kOrder; ++i) lsf[i] = ArcCosine(lsp[i]);
    LsfWeights(lsf, weights);

    int first[2], low[2], high[2];
    double distance[2];
    for (int mode = 0; mode < 2; ++mode) {
        double target[kOrder], error[kOrder], vector[kOrder];
        memory_.Extract(mode, lsf, target);
        first[mode] = NearestFirstStage(target);
        for (int j = 0; j < kOrder; ++j) error[j] = target[j] - FirstStage(first[mode], j);
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
