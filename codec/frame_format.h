#pragma once
#include <cstdint>

// Helpers of the frame wrapper, visible to the tests.
namespace g729a {

// G.729 4.2.5: the output speech as 16-bit samples.
// Rounds half away from zero and saturates to the 16-bit range.
inline int16_t RoundToPcm(double value) {
    value += value >= 0.0 ? 0.5 : -0.5;
    value = value > 32767.0 ? 32767.0 : value;
    value = value < -32768.0 ? -32768.0 : value;
    return static_cast<int16_t>(static_cast<int>(value));
}

// 1 when the received parity bit does not match the first delay index, else 0.
int ParityError(int firstDelayIndex, int parityBit);

}  // namespace g729a
