#pragma once
#include "codec/tables/tables.h"

// Pitch analysis and the adaptive codebook.
namespace g729a {

struct PitchDelay {
    int integer = 0;
    int fraction = 0;  // -1, 0 or +1 third of a sample
};

// Search range of a subframe's closed-loop pitch.
struct PitchRange {
    int min = 0;
    int max = 0;
};

// Open-loop pitch of the weighted speech w[0..79]; w[-kPitchMax..-1] is its history.
int OpenLoopPitch(const double* w);

// Range of subframe 1 around the open-loop estimate.
PitchRange FirstSubframeRange(int openLoopPitch);
// Range of subframe 2 around subframe 1's integer delay.
PitchRange SecondSubframeRange(int firstDelay);

// Closed-loop search over `range`. exc points at the subframe inside the excitation history
// (its current values are the LP residual); the fraction tests overwrite exc[0..39].
PitchDelay ClosedLoopPitch(double* exc, const double* target, const double* h, PitchRange range,
                           bool firstSubframe);

// Adaptive codebook vector: exc[0..length) from the past excitation at the given delay.
void AdaptiveCodebookVector(double* exc, PitchDelay delay, int length);

int EncodeFirstDelay(PitchDelay delay);
int EncodeSecondDelay(PitchDelay delay, PitchRange range);
PitchDelay DecodeFirstDelay(int index);
PitchDelay DecodeSecondDelay(int index, int firstDelay);

// Parity bit over the six most significant bits of the first delay index.
int PitchParity(int index);

}  // namespace g729a
