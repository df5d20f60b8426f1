#pragma once
#include <array>
#include <cmath>

// cos(x) for 0 <= x <= pi and its inverse, in arithmetic alone. Each frame's ten LSPs and
// LSFs are converted once every 10 ms, when a library's code and tables have left the
// caches; these few lines stay beside the codec's own. Each is within two units in the last
// place of the correctly rounded value.
namespace g729a {
namespace cosine_detail {

// pi/2 in two parts: the first with 33 significant bits, so that k times it is exact for the
// k in {0, 1, 2} that this range needs, the second what is left of pi/2.
inline constexpr double kHalfPiHigh = 1.5707963267341256;
inline constexpr double kHalfPiLow = 6.077100506506192e-11;
inline constexpr double kTwoOverPi = 0.6366197723675814;
inline constexpr double kPiHigh = 2 * kHalfPiHigh, kPiLow = 2 * kHalfPiLow;

// Taylor coefficients in r^2: (-1)^n / (2n)! for the cosine, (-1)^n / (2n + 1)! for the sine.
// Past n = 9 the terms are below a unit in the last place for |r| <= pi/4.
inline constexpr int kTerms = 10;
template <int kOffset>
constexpr std::array<double, kTerms> TaylorCoefficients() {
    std::array<double, kTerms> c{};
    double term = 1.0;
    for (int n = 0; n < kTerms; ++n) {
        c[n] = term;
        term /= -double((2 * n + 1 + kOffset) * (2 * n + 2 + kOffset));
    }
    return c;
}
inline constexpr auto kCosine = TaylorCoefficients<0>();
inline constexpr auto kSine = TaylorCoefficients<1>();

// Taylor coefficients of asin(z) / z in z^2: (2n)! / (4^n (n!)^2 (2n + 1)). For |z| <= 1/2
// the term of n = 26 is below a unit in the last place.
inline constexpr int kArcSineTerms = 27;
constexpr std::array<double, kArcSineTerms> ArcSineCoefficients() {
    std::array<double, kArcSineTerms> c{};
    double central = 1.0;  // (2n)! / (4^n (n!)^2)
    for (int n = 0; n < kArcSineTerms; ++n) {
        c[n] = central / (2 * n + 1);
        central *= (2.0 * n + 1) / (2.0 * n + 2);
    }
    return c;
}
inline constexpr auto kArcSine = ArcSineCoefficients();

// asin(z) for |z| <= 1/2: z plus a correction that is at most a tenth of it.
inline double SmallArcSine(double z) {
    const double s = z * z;
    double p = kArcSine[kArcSineTerms - 1];
    for (int n = kArcSineTerms - 2; n >= 1; --n) p = kArcSine[n] + s * p;
    return z + z * (s * p);
}

inline double Series(const std::array<double, kTerms>& c, double s) {
    double p = c[kTerms - 1];
    for (int n = kTerms - 2; n >= 0; --n) p = c[n] + s * p;
    return p;
}

}  // namespace cosine_detail

inline double Cosine(double x) {
    using namespace cosine_detail;
    const int k = static_cast<int>(x * kTwoOverPi + 0.5);  // x = k pi/2 + r, |r| <= pi/4
    const double r = (x - k * kHalfPiHigh) - k * kHalfPiLow;
    const double s = r * r;
    switch (k) {
        case 0: return Series(kCosine, s);
        case 1: return -r * Series(kSine, s);
        default: return -Series(kCosine, s);
    }
}

// acos(x) for -1 <= x <= 1: pi/2 - asin(x) near 0, and towards the ends through
// acos(x) = 2 asin(sqrt((1 - x) / 2)), where 1 - x and its half are exact.
inline double ArcCosine(double x) {
    using namespace cosine_detail;
    if (x > 0.5) return 2.0 * SmallArcSine(std::sqrt((1.0 - x) * 0.5));
    if (x < -0.5) return kPiHigh - (2.0 * SmallArcSine(std::sqrt((1.0 + x) * 0.5)) - kPiLow);
    return kHalfPiHigh - (SmallArcSine(x) - kHalfPiLow);
}

}  // namespace g729a
