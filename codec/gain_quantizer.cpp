#include "codec/gain_quantizer.h"

#include <cmath>

namespace g729a {
namespace {

constexpr double kMinimumEnergyDb = -14.0;
// 10^(db / 20) = exp(db * ln(10) / 20).
constexpr double kDbToNeper = 0.11512925464970228;

struct Candidates {
    int a = 0;  // first of kGainCandidatesA rows of GA
    int b = 0;  // first of kGainCandidatesB rows of GB
};

// G.729 3.9.2: preselection thresholds.
// Number of leading thresholds that `value` passes (in the direction of the prediction's sign).
int CountPassed(double value, const double* thresholds, int count, double predicted) {
    int n = 0;
    if (predicted > 0.0) {
        while (n < count && value > thresholds[n] * predicted) ++n;
    } else {
        while (n < count && value < thresholds[n] * predicted) ++n;
    }
    return n;
}

// G.729 3.9.2: preselection of the codebook rows around the optimum gains.
// Candidate rows around the unquantised optimum gains.
Candidates Preselect(const double best[2], double predicted) {
    const double(&k)[2][2] = kGainPreselectCoef;
    const double x = (best[1] - (k[0][0] * best[0] + k[1][1]) * predicted) * kGainPreselectScale;
    const double y =
        (k[1][0] * (-k[0][1] + best[0] * k[0][0]) * predicted - k[0][0] * best[1]) *
        kGainPreselectScale;
    Candidates c;
    c.a = CountPassed(y, kGainThresholdA, kGainCodebookASize - kGainCandidatesA, predicted);
    c.b = CountPassed(x, kGainThresholdB, kGainCodebookBSize - kGainCandidatesB, predicted);
    return c;
}

// G.729 3.9.1: the prediction error in dB of each correction factor GA[a][1] + GB[b][1],
// 20 log10 of it, computed once by the same function as it would be per subframe.
struct FactorEnergies {
    double db[kGainCodebookASize][kGainCodebookBSize];

    FactorEnergies() {
        for (int a = 0; a < kGainCodebookASize; ++a)
            for (int b = 0; b < kGainCodebookBSize; ++b)
                db[a][b] = 20.0 * std::log10(kGainCodebookA[a][1] + kGainCodebookB[b][1]);
    }
};

const FactorEnergies factorEnergies;

}  // namespace

// G.729 3.9.1: the predicted fixed-codebook gain.
double GainPredictor::PredictedGain(const double* code) const {
    double energy = 0.01;
    for (int i = 0; i < kSubframeLength; ++i) energy += code[i] * code[i];
    double db = kMeanEnergyDb - 10.0 * std::log10(energy / kSubframeLength);
    for (int i = 0; i < 4; ++i) db += kGainPredictor[i] * energies_[i];
    return std::exp(db * kDbToNeper);
}

// G.729 3.9.1: update of the prediction error memory.
void GainPredictor::Shift(double newest) {
    for (int i = 3; i > 0; --i) energies_[i] = energies_[i - 1];
    energies_[0] = newest;
}

// G.729 3.9.1: the prediction error of the chosen correction factor.
void GainPredictor::Push(int rowA, int rowB) { Shift(factorEnergies.db[rowA][rowB]); }

// G.729 4.4.3: attenuation of the memory of the gain predictor.
void GainPredictor::PushErased() {
    double mean = 0.25 * (energies_[0] + energies_[1] + energies_[2] + energies_[3]) - 4.0;
    if (mean < kMinimumEnergyDb) mean = kMinimumEnergyDb;
    Shift(mean);
}

// G.729 3.9.2, 3.9.3: codebook search and codeword of the gains.
int QuantizeGains(GainPredictor& predictor, const double* code, const double coefficients[5],
                  bool tamed, Gains& gains) {
    const double* c = coefficients;
    const double predicted = predictor.PredictedGain(code);

    const double scale = -1.0 / (4.0 * c[0] * c[2] - c[4] * c[4]);
    double best[2] = {(2.0 * c[2] * c[1] - c[3] * c[4]) * scale,
                      (2.0 * c[0] * c[3] - c[1] * c[4]) * scale};
    if (tamed && best[0] > kTamedOptimalPitchGain) best[0] = kTamedOptimalPitchGain;
    const Candidates cand = Preselect(best, predicted);

    int rowA = cand.a, rowB = cand.b;
    double minimum = 1e38;
    for (int i = cand.a; i < cand.a + kGainCandidatesA; ++i) {
        for (int j = cand.b; j < cand.b + kGainCandidatesB; ++j) {
            const double gp = kGainCodebookA[i][0] + kGainCodebookB[j][0];
            if (tamed && gp >= kTamedPitchGainLimit) continue;
            const double gc = predicted * (kGainCodebookA[i][1] + kGainCodebookB[j][1]);
            const double error =
                gp * gp * c[0] + gp * c[1] + gc * gc * c[2] + gc * c[3] + gp * gc * c[4];
            if (error < minimum) {
                minimum = error;
                rowA = i;
                rowB = j;
            }
        }
    }
    const double factor = kGainCodebookA[rowA][1] + kGainCodebookB[rowB][1];
    gains.pitch = kGainCodebookA[rowA][0] + kGainCodebookB[rowB][0];
    gains.code = factor * predicted;
    predictor.Push(rowA, rowB);
    return kGainMapA[rowA] * kGainCodebookBSize + kGainMapB[rowB];
}

// G.729 4.1.4: decoding of the adaptive and fixed-codebook gains.
void DecodeGains(GainPredictor& predictor, int index, const double* code, Gains& gains) {
    const int rowA = kGainInverseMapA[(index >> 4) & 7];
    const int rowB = kGainInverseMapB[index & 15];
    const double factor = kGainCodebookA[rowA][1] + kGainCodebookB[rowB][1];
    gains.pitch = kGainCodebookA[rowA][0] + kGainCodebookB[rowB][0];
    gains.code = factor * predictor.PredictedGain(code);
    predictor.Push(rowA, rowB);
}

// G.729 4.4.2: attenuation of the gains of an erased frame.
void ConcealGains(GainPredictor& predictor, Gains& gains) {
    gains.pitch *= 0.9;
    if (gains.pitch > 0.9) gains.pitch = 0.9;
    gains.code *= 0.98;
    predictor.PushErased();
}

}  // namespace g729a
