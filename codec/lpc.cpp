#include "codec/lpc.h"

#include "codec/dsp.h"

namespace g729a {
namespace {

constexpr int kHalfOrder = kOrder / 2;

// G.729 3.2.3: F1 or F2 evaluated by the Chebyshev recursion.
// Chebyshev series of one half polynomial evaluated at x = cos(w).
double EvaluateChebyshev(double x, const double f[kHalfOrder + 1]) {
    const double twoX = 2.0 * x;
    double b2 = 1.0;
    double b1 = twoX + f[1];
    for (int i = 2; i < kHalfOrder; ++i) {
        const double b0 = twoX * b1 - b2 + f[i];
        b2 = b1;
        b1 = b0;
    }
    return x * b1 - b2 + 0.5 * f[kHalfOrder];
}

// G.729 3.2.3: F1 and F2 evaluated at once.
// Both half polynomials at once (lanes: sum, difference), same arithmetic per lane.
Double2 EvaluateChebyshevPair(double x, const Double2 f[kHalfOrder + 1]) {
    const Double2 twoX = {2.0 * x, 2.0 * x};
    Double2 b2 = {1.0, 1.0};
    Double2 b1 = twoX + f[1];
    for (int i = 2; i < kHalfOrder; ++i) {
        const Double2 b0 = twoX * b1 - b2 + f[i];
        b2 = b1;
        b1 = b0;
    }
    return Double2{x, x} * b1 - b2 + Double2{0.5, 0.5} * f[kHalfOrder];
}

// G.729 3.2.6: the coefficients of F1(z) or F2(z) from the LSPs.
// Coefficients of the polynomial whose roots are the given (every second) LSPs.
void LspPolynomial(const double* lsp, double f[kHalfOrder + 1]) {
    f[0] = 1.0;
    f[1] = -2.0 * lsp[0];
    for (int i = 2; i <= kHalfOrder; ++i) {
        const double b = -2.0 * lsp[2 * (i - 1)];
        f[i] = b * f[i - 1] + 2.0 * f[i - 2];
        for (int j = i - 1; j > 1; --j) f[j] += b * f[j - 1] + f[j - 2];
        f[1] += b;
    }
}

}  // namespace

// G.729 3.2.1: windowing, autocorrelation and lag window.
void WindowedAutocorrelation(const double* buffer, double r[kOrder + 1]) {
    double windowed[kSpeechBufferLength];
    for (int i = 0; i < kSpeechBufferLength; ++i) windowed[i] = buffer[i] * kLpWindow[i];
    for (int k = 0; k <= kOrder; ++k)
        r[k] = DotProduct(windowed, windowed + k, kSpeechBufferLength - k);
    if (r[0] < 1.0) r[0] = 1.0;
    for (int k = 0; k <= kOrder; ++k) r[k] *= kLagWindow[k];
}

// G.729 3.2.2: the Levinson-Durbin algorithm.
void LevinsonDurbin(const double r[kOrder + 1], double a[kOrder + 1]) {
    a[0] = 1.0;
    a[1] = -r[1] / r[0];
    double error = r[0] + r[1] * a[1];
    for (int i = 2; i <= kOrder; ++i) {
        double s = 0.0;
        for (int j = 0; j < i; ++j) s += r[i - j] * a[j];
        const double k = -s / error;
        for (int j = 1; j <= i / 2; ++j) {
            const int l = i - j;
            const double aj = a[j] + k * a[l];
            a[l] += k * a[j];
            a[j] = aj;
        }
        a[i] = k;
        error += k * s;
        if (error <= 0.0) error = 0.001;
    }
}

// G.729 3.2.3, A.3.2: LP to LSP conversion on the coarser grid of Annex A.
void LpcToLsp(const double a[kOrder + 1], double lsp[kOrder], const double previousLsp[kOrder]) {
    double f1[kHalfOrder + 1], f2[kHalfOrder + 1];
    f1[0] = f2[0] = 1.0;
    for (int i = 0; i < kHalfOrder; ++i) {
        f1[i + 1] = a[i + 1] + a[kOrder - i] - f1[i];
        f2[i + 1] = a[i + 1] - a[kOrder - i] + f2[i];
    }
    // Every grid value of both polynomials up front: independent evaluations instead of a
    // chain of dependent ones inside the scan.
    const double* polynomials[2] = {f1, f2};
    Double2 pair[kHalfOrder + 1];
    for (int i = 0; i <= kHalfOrder; ++i) pair[i] = Double2{f1[i], f2[i]};
    double onGrid[2][kGridPoints + 1];
    for (int g = 0; g <= kGridPoints; ++g) {
        const Double2 v = EvaluateChebyshevPair(kCosineGrid[g], pair);
        onGrid[0][g] = v[0];
        onGrid[1][g] = v[1];
    }
    int which = 0;
    int found = 0;
    int j = 0;
    double xLow = kCosineGrid[0];
    double yLow = onGrid[which][0];
    while (found < kOrder && j < kGridPoints) {
        ++j;
        double xHigh = xLow, yHigh = yLow;
        xLow = kCosineGrid[j];
        yLow = onGrid[which][j];
        if (yLow * yHigh > 0.0) continue;
        for (int b = 0; b < 2; ++b) {
            const double xMid = 0.5 * (xLow + xHigh);
            const double yMid = EvaluateChebyshev(xMid, polynomials[which]);
            if (yLow * yMid <= 0.0) {
                yHigh = yMid;
                xHigh = xMid;
            } else {
                yLow = yMid;
                xLow = xMid;
            }
        }
        const double dy = yHigh - yLow;
        const double root = dy == 0.0 ? xLow : xLow - yLow * (xHigh - xLow) / dy;
        lsp[found++] = root;
        // Roots of the two polynomials alternate: continue on the other one from this root.
        which = 1 - which;
        xLow = root;
        yLow = EvaluateChebyshev(xLow, polynomials[which]);
        --j;
    }
    if (found < kOrder)
        for (int i = 0; i < kOrder; ++i) lsp[i] = previousLsp[i];
}

// G.729 3.2.6: LSP to LP conversion.
void LspToLpc(const double lsp[kOrder], double a[kOrder + 1]) {
    double f1[kHalfOrder + 1], f2[kHalfOrder + 1];
    LspPolynomial(lsp, f1);
    LspPolynomial(lsp + 1, f2);
    for (int i = kHalfOrder; i > 0; --i) {
        f1[i] += f1[i - 1];
        f2[i] -= f2[i - 1];
    }
    a[0] = 1.0;
    for (int i = 1; i <= kHalfOrder; ++i) {
        a[i] = 0.5 * (f1[i] + f2[i]);
        a[kOrder + 1 - i] = 0.5 * (f1[i] - f2[i]);
    }
}

// G.729 3.2.5: interpolation of the LSPs for the first subframe.
void InterpolatedLpc(const double previousLsp[kOrder], const double currentLsp[kOrder],
                     double a[2][kOrder + 1]) {
    double mean[kOrder];
    for (int i = 0; i < kOrder; ++i) mean[i] = 0.5 * (previousLsp[i] + currentLsp[i]);
    LspToLpc(mean, a[0]);
    LspToLpc(currentLsp, a[1]);
}

}  // namespace g729a

