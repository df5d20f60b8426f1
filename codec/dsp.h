#pragma once
#include "codec/double2.h"
#include "codec/tables/tables.h"

// Small filtering kernels shared by the encoder, the decoder and the post-filter.
// Coefficient vectors a[0..kOrder] describe A(z) = a[0] + a[1]z^-1 + ... with a[0] = 1.
namespace g729a {

// G.729 2.5: the sums of products that the correlations of clauses 3 and 4 are.
// Four partial sums: the reduction is not one long dependency chain.
inline double DotProduct(const double* x, const double* y, int length) {
    const int head = length & 3;
    double sum = 0.0;
    for (int i = 0; i < head; ++i) sum += x[i] * y[i];
    Double2 s0 = {0.0, 0.0}, s1 = {0.0, 0.0};
    for (int i = head; i < length; i += 4) {
        s0 += Load2(x + i) * Load2(y + i);
        s1 += Load2(x + i + 2) * Load2(y + i + 2);
    }
    const Double2 s = s0 + s1;
    return sum + (s[0] + s[1]);
}

// y = x filtered through 1/A(z). memory holds the last kOrder outputs, oldest first;
// it is updated when updateMemory is set. x and y may be the same buffer.
void SynthesisFilter(const double* a, const double* x, double* y, int length, double* memory,
                     bool updateMemory);

// y = x filtered through A(z); x must have kOrder valid samples before x[0].
void ResidualFilter(const double* a, const double* x, double* y, int length);

// ap[i] = a[i] * gamma^i: the bandwidth-expanded A(z/gamma).
void WeightCoefficients(const double* a, double gamma, double* ap);

// y = x convolved with h, both of length `length`, truncated to `length`.
void Convolve(const double* x, const double* h, double* y, int length);

// Second-order IIR high-pass section: y = b0 x + b1 x1 + b2 x2 + a1 y1 + a2 y2.
struct HighPassFilter {
    double x1 = 0.0, x2 = 0.0, y1 = 0.0, y2 = 0.0;

    // G.729 4.3: the filter memory starts at zero.
    void Reset() { *this = HighPassFilter{}; }
    void Run(const double b[3], const double a[3], double* signal, int length);
};

// d[n] = sum over i >= n of x[i] * h[i - n]: the target correlated with the impulse response.
void BackwardFilter(const double* x, const double* h, double* d, int length);

}  // namespace g729a
