#include "codec/frame_format.h"

#include "codec/codec.h"
#include "codec/pitch.h"
#include "codec/tables/tables.h"

namespace g729a {

// G.729 4.1.5: the parity check of the first delay index.
int ParityError(int firstDelayIndex, int parityBit) {
    return (PitchParity(firstDelayIndex) + parityBit) & 1;
}

}  // namespace g729a

// G.729 2.1 (Table 1), 4.1 (Table 8): the parameters in order, each MSB first.
// Bit writer: whole bytes leave a 16-bit accumulator as soon as they are complete, so the
// frame is the parameters' MSB-first bit string.
void PackFrame(const int params[kParamsPerFrame], uint8_t frame[kBytesPerFrame]) {
    uint32_t held = 0;
    int count = 0;
    int out = 0;
    for (int p = 0; p < kParamsPerFrame; ++p) {
        const int width = g729a::kParamBits[p];
        const uint32_t value = static_cast<uint32_t>(params[p]) & ((1u << width) - 1u);
        const uint32_t combined = ((held << width) | value) & 0xFFFFu;
        if (count + width < 8) {
            held = combined;
            count += width;
            continue;
        }
        const int remaining = count + width - 8;
        frame[out++] = static_cast<uint8_t>(combined >> remaining);
        held = combined & ((1u << remaining) - 1u);
        count = remaining;
    }
}

// G.729 2.1 (Table 1), 4.1 (Table 8): the parameters back from the bit string.
// Bit reader: walks the bytes from the last to the first and recovers the parameters from
// the last to the first, carrying unread high bits of each byte to the next parameter.
void UnpackFrame(const uint8_t frame[kBytesPerFrame], int params[kParamsPerFrame]) {
    uint32_t carry = 0;
    int held = 0;
    int in = kBytesPerFrame - 1;
    for (int p = kParamsPerFrame - 1; p >= 0; --p) {
        const int width = g729a::kParamBits[p];
        if (held != 0 && width == 1) {
            params[p] = static_cast<int>(carry & 1u);
            carry >>= 1;
            --held;
            continue;
        }
        const uint32_t combined = ((static_cast<uint32_t>(frame[in--]) << held) | carry) & 0xFFFFu;
        params[p] = static_cast<int>(combined & ((1u << width) - 1u));
        carry = combined >> width;
        held += 8 - width;
    }
}
