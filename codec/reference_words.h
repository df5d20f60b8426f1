#pragma once
#include <cmath>

// The integer decoder keeps some quantities in 16-bit words. Where that rounding moves the
// output measurably (the LP spectrum of periodic signals, the post-filter's tilt, the output
// high-pass), the quantities are rounded the same way, so that both decoders play the same
// sound.
namespace g729a {

// Truncated to 1/scale, as a word holding x * scale after an integer product.
inline double TruncatedWord(double x, double scale) { return std::floor(x * scale) / scale; }

// Rounded to the nearest 1/scale.
inline double RoundedWord(double x, double scale) { return std::floor(x * scale + 0.5) / scale; }

inline constexpr double kQ15Scale = 32768.0;      // 15 fractional bits
inline constexpr double kLargestWord = 32767.0;   // a saturated 16-bit word
inline constexpr double kLsfWordScale = 8192.0;   // an LSF in radians, 13 fractional bits
inline constexpr double kLspWordScale = kQ15Scale;  // an LSP (a cosine)
// A coefficient of the output high-pass, 13 fractional bits.
inline constexpr double kHighPassWordScale = 8192.0;

}  // namespace g729a
