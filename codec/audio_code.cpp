#include "codec/audio_code.h"

#include "codec/codec.h"

// G.729 4.3: both sides start from their initial state.
CAudioCode::CAudioCode() {
    InitEncoder();
    InitDecoder();
}

CAudioCode::~CAudioCode() = default;

// G.729 2.2: three 10 ms frames decoded in turn.
int CAudioCode::Decode(const uint8_t* data, int32_t count, int16_t* samples, int32_t* byteCount) {
    if (count != kBlockBytes || samples == nullptr || data == nullptr) return 0;
    for (int f = 0; f < kBlockBytes / kBytesPerFrame; ++f)
        DecodeFrame(data + f * kBytesPerFrame, samples + f * kSamplesPerFrame, 0);
    if (byteCount != nullptr) *byteCount = kBlockPcmBytes;
    return 1;
}
