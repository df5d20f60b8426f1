#include "codec/fixed_codebook.h"

#include "codec/dsp.h"

namespace g729a {
namespace {

constexpr int kLength = kSubframeLength;
constexpr int kTrackStep = 5;

// Correlations of the impulse response and the backward-filtered target, signs folded in.
struct SearchContext {
    double d[kLength];     // |correlation with the target|
    double sign[kLength];  // +1 or -1 per position
    // Impulse-response correlations times both signs. Only one triangle is stored (writing
    // the matrix is a large part of the search), by lag: Row(j)[d] is the value for
    // positions j and j - d. Rows are written in pairs of values, so row j holds j + 1
    // values rounded up to even, packed one after another: row j starts at (j + 1)^2 / 2.
    double triangle[(kLength + 1) * (kLength + 1) / 2];

    double* Row(int j) { return triangle + (j + 1) * (j + 1) / 2; }
    const double* Row(int j) const { return triangle + (j + 1) * (j + 1) / 2; }
    // G.729 3.8.1: one element of the correlation matrix of h(n).
    double R(int i, int j) const { return i >= j ? Row(i)[i - j] : Row(j)[j - i]; }
};

// G.729 3.8.1, A.3.8: d(n) and the correlation matrix with the signs folded in.
void PrepareContext(const double* target, const double* h, SearchContext& c) {
    BackwardFilter(target, h, c.d, kLength);
    // Branch-free: the signs are unpredictable.
    for (int n = 0; n < kLength; ++n) {
        c.sign[n] = 1.0 - 2.0 * static_cast<double>(c.d[n] < 0.0);
        c.d[n] *= c.sign[n];
    }
    // After step k, sum[d] holds h[0]h[d] + ... + h[k]h[k + d]: the correlation at lag d of
    // positions j = 39 - k and j - d. All lags advance together, two at a time, and every
    // vector is loaded where it was stored.
    constexpr int kPadded = kLength + 2;
    double response[kPadded] = {}, signReversed[kPadded] = {}, sum[kPadded] = {};
    for (int i = 0; i < kLength; ++i) {
        response[i] = h[i];
        signReversed[i] = c.sign[kLength - 1 - i];
    }
    for (int k = 0; k < kLength; ++k) {
        const int j = kLength - 1 - k;
        const Double2 hk = {response[k], response[k]};
        const Double2 signJ = {c.sign[j], c.sign[j]};
        double* out = c.Row(j);
        for (int d = 0; d <= j; d += 2) {
            const Double2 value = Load2(sum + d) + hk * Load2(response + k + d);
            Store2(sum + d, value);
            Store2(out + d, value * Load2(signReversed + k + d) * signJ);
        }
    }
}

struct Candidate {
    double correlation = 0.0;  // sum of |d| at the pulses
    double energy = 1.0;       // energy of the filtered code vector
};

// G.729 3.8.1: comparison of two search criteria.
// True when sq / energy is larger than bestSq / bestEnergy (energies are positive).
bool Better(double sq, double energy, double bestSq, double bestEnergy) {
    return bestEnergy * sq > bestSq * energy;
}

constexpr int kPairs = (kLength / kTrackStep) * (kLength / kTrackStep);

// G.729 A.3.8: the best of the candidates of one search step.
// Index of the first largest of the values: the maximum on four lanes, then its first place.
int FirstMaximum(const double v[kPairs]) {
    double lane[4] = {v[0], v[1], v[2], v[3]};
    for (int n = 4; n < kPairs; n += 4)
        for (int l = 0; l < 4; ++l) lane[l] = v[n + l] > lane[l] ? v[n + l] : lane[l];
    const double a = lane[0] > lane[1] ? lane[0] : lane[1];
    const double b = lane[2] > lane[3] ? lane[2] : lane[3];
    const double maximum = a > b ? a : b;
    int n = 0;
    while (n < kPairs - 1 && v[n] != maximum) ++n;
    return n;
}

// G.729 A.3.8: one level of the depth-first tree search.
// Best pulse pair on two tracks given pulses already placed.
void SearchPair(const SearchContext& c, const int* fixed, int fixedCount, Candidate base,
                int trackA, int trackB, int& bestA, int& bestB, Candidate& best) {
    constexpr int kPerTrack = kLength / kTrackStep;
    double correlationA[kPerTrack], correlationB[kPerTrack];
    double energyA[kPerTrack], energyB[kPerTrack];
    for (int i = 0; i < kPerTrack; ++i) {
        const int a = trackA + kTrackStep * i;
        const int b = trackB + kTrackStep * i;
        correlationA[i] = base.correlation + c.d[a];
        correlationB[i] = c.d[b];
        energyA[i] = base.energy + c.Row(a)[0];
        energyB[i] = c.Row(b)[0];
        for (int f = 0; f < fixedCount; ++f) {
            energyA[i] += 2.0 * c.R(a, fixed[f]);
            energyB[i] += 2.0 * c.R(b, fixed[f]);
        }
    }
    // All 64 criteria first, then the first maximum: no loop-carried comparison chain.
    // The energies are positive (h[0] = 1 makes the matrix definite), so the quotients are
    // finite.
    double criterion[kPairs], cross[kPerTrack];
    for (int i = 0; i < kPerTrack; ++i) {
        const int a = trackA + kTrackStep * i;
        for (int j = 0; j < kPerTrack; ++j) cross[j] = 2.0 * c.R(a, trackB + kTrackStep * j);
        for (int j = 0; j < kPerTrack; ++j) {
            const double correlation = correlationA[i] + correlationB[j];
            criterion[i * kPerTrack + j] =
                correlation * correlation / (energyA[i] + energyB[j] + cross[j]);
        }
    }
    const int bestIndex = FirstMaximum(criterion);
    const int i = bestIndex / kPerTrack, j = bestIndex % kPerTrack;
    bestA = trackA + kTrackStep * i;
    bestB = trackB + kTrackStep * j;
    best = Candidate{correlationA[i] + correlationB[j],
                     energyA[i] + energyB[j] + 2.0 * c.R(bestA, bestB)};
}

// G.729 A.3.8: one path of the depth-first tree search.
// Places two pulses on (first pair) and then two more on (second pair) around them.
void SearchTwoLevels(const SearchContext& c, const int firstPair[2], const int secondPair[2],
                     int pulses[4]) {
    int p[4] = {firstPair[0], firstPair[1], secondPair[0], secondPair[1]};
    Candidate pair;
    SearchPair(c, nullptr, 0, Candidate{0.0, 0.0}, firstPair[0], firstPair[1], p[0], p[1], pair);
    SearchPair(c, p, 2, pair, secondPair[0], secondPair[1], p[2], p[3], pair);
    for (int k = 0; k < 4; ++k) pulses[k] = p[k];
}

}  // namespace

// G.729 A.3.8, 3.8.2: fixed-codebook search and its codeword.
FixedCodeIndex SearchFixedCodebook(const double* target, const double* __restrict h,
                                   double* __restrict code, double* __restrict filtered) {
    static SearchContext c;  // large; kept off the stack of the audio callback thread
    PrepareContext(target, h, c);

    // pulse[k] lies on track k; track 3 covers positions 3 mod 5 and 4 mod 5.
    int pulse[4] = {0, 1, 2, 3};
    double bestSq = -1.0, bestEnergy = 1.0;
    for (int lastTrack = 3; lastTrack <= 4; ++lastTrack) {
        // Two orders of the tracks: (2, 3) then (0, 1), and (3, 0) then (1, 2).
        const int orders[2][2][2] = {{{2, lastTrack}, {0, 1}}, {{lastTrack, 0}, {1, 2}}};
        const int slot[2][4] = {{2, 3, 0, 1}, {3, 0, 1, 2}};
        for (int o = 0; o < 2; ++o) {
            int found[4];
            SearchTwoLevels(c, orders[o][0], orders[o][1], found);
            double correlation = 0.0, energy = 0.0;
            for (int k = 0; k < 4; ++k) {
                correlation += c.d[found[k]];
                for (int m = 0; m < 4; ++m) energy += c.R(found[k], found[m]);
            }
            const double sq = correlation * correlation;
            if (Better(sq, energy, bestSq, bestEnergy)) {
                bestSq = sq;
                bestEnergy = energy;
                for (int k = 0; k < 4; ++k) pulse[slot[o][k]] = found[k];
            }
        }
    }

    FixedCodeIndex index;
    const int trackBit = pulse[3] % kTrackStep - 3;
    index.positions = pulse[0] / kTrackStep | (pulse[1] / kTrackStep) << 3 |
                      (pulse[2] / kTrackStep) << 6 | ((pulse[3] / kTrackStep) * 2 + trackBit) << 9;
    for (int n = 0; n < kLength; ++n) code[n] = 0.0;
    for (int n = 0; n < kLength; ++n) filtered[n] = 0.0;
    for (int k = 0; k < 4; ++k) {
        const int position = pulse[k];
        const double s = c.sign[position];
        if (s > 0.0) index.signs |= 1 << k;
        code[position] = s;
        for (int n = position; n < kLength; ++n) filtered[n] += s * h[n - position];
    }
    return index;
}

// G.729 4.1.3: decoding of the fixed-codebook vector.
void DecodeFixedCodebook(FixedCodeIndex index, double* code) {
    int positions = index.positions;
    int pulse[4];
    pulse[0] = (positions & 7) * kTrackStep;
    positions >>= 3;
    pulse[1] = (positions & 7) * kTrackStep + 1;
    positions >>= 3;
    pulse[2] = (positions & 7) * kTrackStep + 2;
    positions >>= 3;
    const int trackBit = positions & 1;
    positions >>= 1;
    pulse[3] = (positions & 7) * kTrackStep + 3 + trackBit;
    for (int n = 0; n < kLength; ++n) code[n] = 0.0;
    for (int k = 0; k < 4; ++k) code[pulse[k]] = ((index.signs >> k) & 1) ? 1.0 : -1.0;
}

// G.729 3.8, 4.1.3: the pitch enhancement of the fixed-codebook vector.
void PitchSharpen(double* v, int delay, double sharp, int length) {
    for (int i = delay; i < length; ++i) v[i] += sharp * v[i - delay];
}

}  // namespace g729a
