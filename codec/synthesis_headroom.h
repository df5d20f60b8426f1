#pragma once

// The decoder's synthesis kept level with the fixed-point decoder of G.729 Annex A.
// That decoder works on half our signal (its pre-processing halves the input and its
// post-processing doubles the output), so its 16-bit words span twice our full scale,
// and its synthesis saturates only near twice the loudest 16-bit sample. Hostile frames
// reach that headroom; loud speech does not.
namespace g729a {

// The range of the fixed-point decoder's 16-bit words (its excitation and its synthesis),
// in our scale.
inline constexpr double kWordLow = -65536.0;
inline constexpr double kWordHigh = 65534.0;

// G.729 4.1.6 (bit-exact code): true when the fixed-point synthesis of y = x through
// 1/A(z) would saturate, either in an output word or in its 32-bit accumulator. y holds
// the outputs of the plain filter; memory the kOrder outputs before y[0], oldest first.
bool SynthesisSaturates(const double* a, const double* x, const double* y, const double* memory,
                        int length);

// y = x through 1/A(z) as the fixed-point decoder computes it: every partial sum held to
// its accumulator, every output held to a 16-bit word before it is fed back. memory is
// updated.
void SaturatingSynthesisFilter(const double* a, const double* x, double* y, int length,
                               double* memory);

}  // namespace g729a
