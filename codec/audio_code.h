#pragma once
#include <cstdint>

// Thin codec object of the audio devices. Constructing one resets the
// process-wide encoder and decoder.
class CAudioCode {
public:
    static constexpr int32_t kBlockBytes = 30;   // three frames
    static constexpr int32_t kBlockPcmBytes = 480;

    CAudioCode();
    virtual ~CAudioCode();

    // Decodes exactly one 30-byte block into 240 samples; 0 (and nothing
    // written) for any other count or a null sample buffer.
    int Decode(const uint8_t* data, int32_t count, int16_t* samples, int32_t* byteCount);
};
