#include "codec/dsp.h"

namespace g729a {

namespace {

// G.729 4.1.6: part of the synthesis filter 1/A(z).
// c[3] p[-3] + ... + c[10] p[-10] as a tree, for both outputs of a pair at once.
inline Double2 OlderTerms(const Double2* c, const double* p) {
    return ((c[3] * Splat(p[-3]) + c[4] * Splat(p[-4])) +
            (c[5] * Splat(p[-5]) + c[6] * Splat(p[-6]))) +
           ((c[7] * Splat(p[-7]) + c[8] * Splat(p[-8])) +
            (c[9] * Splat(p[-9]) + c[10] * Splat(p[-10])));
}

}  // namespace

// G.729 4.1.6, 3.5, 3.6: filtering through 1/A(z).
// Two outputs per step, both from the outputs before the pair:
//   y[n]     = x[n] - sum a[m] y[n-m]
//   y[n + 1] = x[n + 1] - a[1] x[n] - sum e[m] y[n-m],  e[m] = a[m+1] - a[1] a[m], a[11] = 0.
// The pair is computed as one two-lane vector, and the newest outputs enter last, which
// keeps the recursion's dependency chain short.
void SynthesisFilter(const double* a, const double* x, double* y, int length, double* memory,
                     bool updateMemory) {
    double work[kOrder + 2 * kFrameLength];
    double* out = work + kOrder;
    for (int i = 0; i < kOrder; ++i) work[i] = memory[i];
    Double2 c[kOrder + 1];
    for (int m = 1; m <= kOrder; ++m)
        c[m] = Double2{a[m], (m < kOrder ? a[m + 1] : 0.0) - a[1] * a[m]};
    // The newest pair stays in a register: reloading it would put a store-to-load
    // round trip on the recursion.
    Double2 newest = {work[kOrder - 2], work[kOrder - 1]};
    int n = 0;
    for (; n + 2 <= length; n += 2) {
        const double* p = out + n;
        const Double2 input{x[n], x[n + 1] - a[1] * x[n]};
        newest = ((input - OlderTerms(c, p)) - c[2] * Splat(newest[0])) - c[1] * Splat(newest[1]);
        Store2(out + n, newest);
    }
    for (; n < length; ++n) {
        const double* p = out + n;
        double s = x[n];
        for (int m = kOrder; m >= 1; --m) s -= a[m] * p[-m];
        out[n] = s;
    }
    for (int i = 0; i < length; ++i) y[i] = out[i];
    if (updateMemory)
        for (int i = 0; i < kOrder; ++i) memory[i] = out[length - kOrder + i];
}

// G.729 3.6, 4.2.1: filtering through A(z), the LP residual.
void ResidualFilter(const double* a, const double* x, double* y, int length) {
    // Two outputs at a time, with two partial sums each.
    int n = 0;
    for (; n + 2 <= length; n += 2) {
        Double2 odd = Load2(x + n), even = {0.0, 0.0};
        for (int j = 1; j < kOrder; j += 2) {
            odd += Splat(a[j]) * Load2(x + n - j);
            even += Splat(a[j + 1]) * Load2(x + n - j - 1);
        }
        Store2(y + n, odd + even);
    }
    for (; n < length; ++n) {
        double s = x[n];
        for (int j = 1; j <= kOrder; ++j) s += a[j] * x[n - j];
        y[n] = s;
    }
}

// G.729 3.3, 4.2.2: the coefficients of A(z/gamma).
void WeightCoefficients(const double* a, double gamma, double* ap) {
    double factor = gamma;
    ap[0] = a[0];
    for (int i = 1; i <= kOrder; ++i) {
        ap[i] = a[i] * factor;
        factor *= gamma;
    }
}

// G.729 3.7.3: a vector filtered through the impulse response h(n).
void Convolve(const double* x, const double* h, double* y, int length) {
    // y[n] is a dot product of h with x reversed; reversing once keeps every product
    // contiguous.
    double reversed[2 * kFrameLength];
    for (int i = 0; i < length; ++i) reversed[i] = x[length - 1 - i];
    for (int n = 0; n < length; ++n) y[n] = DotProduct(h, reversed + length - 1 - n, n + 1);
}

// G.729 3.1, 4.2.5: the second-order high-pass filters of pre- and post-processing.
// Two outputs per step (n, n + 1) from the two outputs before them, with
// y[n + 1] = f[n + 1] + a1 f[n] + (a1^2 + a2) y[n - 1] + a1 a2 y[n - 2], where f is the
// feed-forward part: a shorter recursion chain than one output at a time.
void HighPassFilter::Run(const double b[3], const double a[3], double* signal, int length) {
    // Locals: the compiler cannot keep members in registers across stores to `signal`.
    double px1 = x1, px2 = x2, py1 = y1, py2 = y2;
    const double c1 = a[1] * a[1] + a[2];
    const double c2 = a[1] * a[2];
    int n = 0;
    for (; n + 2 <= length; n += 2) {
        const double x0 = signal[n], xNext = signal[n + 1];
        const double f0 = b[0] * x0 + b[1] * px1 + b[2] * px2;
        const double f1 = b[0] * xNext + b[1] * x0 + b[2] * px1;
        const double first = (f0 + a[2] * py2) + a[1] * py1;
        const double second = ((f1 + a[1] * f0) + c2 * py2) + c1 * py1;
        px2 = x0;
        px1 = xNext;
        py2 = first;
        py1 = second;
        signal[n] = first;
        signal[n + 1] = second;
    }
    for (; n < length; ++n) {
        const double x0 = signal[n];
        const double y0 = (b[0] * x0 + b[1] * px1 + b[2] * px2 + a[2] * py2) + a[1] * py1;
        px2 = px1;
        px1 = x0;
        py2 = py1;
        py1 = y0;
        signal[n] = y0;
    }
    x1 = px1;
    x2 = px2;
    y1 = py1;
    y2 = py2;
}

// G.729 3.8.1, A.3.7: the target backward-filtered through h(n), d(n).
void BackwardFilter(const double* x, const double* h, double* d, int length) {
    for (int n = 0; n < length; ++n) d[n] = DotProduct(x + n, h, length - n);
}

}  // namespace g729a
