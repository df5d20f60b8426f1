#pragma once

// The 17-bit algebraic codebook: four signed unit pulses on interleaved tracks.
namespace g729a {

struct FixedCodeIndex {
    int positions = 0;  // 13 bits
    int signs = 0;      // 4 bits, bit k set when pulse k is positive
};

// Depth-first tree search for the code vector that best matches `target` through the
// impulse response h (which already carries the pitch sharpening). Writes the pulses to
// code[0..39] and their filtered contribution to filtered[0..39].
FixedCodeIndex SearchFixedCodebook(const double* target, const double* h, double* code,
                                   double* filtered);

void DecodeFixedCodebook(FixedCodeIndex index, double* code);

// v[i] += sharp * v[i - delay] for delay <= i < length.
void PitchSharpen(double* v, int delay, double sharp, int length);

}  // namespace g729a
