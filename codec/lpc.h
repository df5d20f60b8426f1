#pragma once
#include "codec/dsp.h"

// Linear prediction: analysis of the windowed speech and conversions between
// prediction coefficients and line spectral pairs (cosine domain).
namespace g729a {

// Windowed autocorrelations r[0..kOrder] of the 240-value analysis buffer, with the
// floor on r[0] and the lag window applied.
void WindowedAutocorrelation(const double* buffer, double r[kOrder + 1]);

// Levinson-Durbin recursion: r[0..kOrder] -> a[0..kOrder] with a[0] = 1.
void LevinsonDurbin(const double r[kOrder + 1], double a[kOrder + 1]);

// Roots of the sum and difference polynomials of A(z) on the cosine grid. Falls back to
// previousLsp when fewer than kOrder roots are found.
void LpcToLsp(const double a[kOrder + 1], double lsp[kOrder], const double previousLsp[kOrder]);

void LspToLpc(const double lsp[kOrder], double a[kOrder + 1]);

// Subframe 1 gets the mean of the previous and current vectors, subframe 2 the current one.
void InterpolatedLpc(const double previousLsp[kOrder], const double currentLsp[kOrder],
                     double a[2][kOrder + 1]);

}  // namespace g729a
