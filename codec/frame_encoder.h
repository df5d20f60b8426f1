#pragma once
#include <cstdint>

#include "codec/codec.h"
#include "codec/dsp.h"
#include "codec/encoder.h"

// One encoding stream: the pre-processing, the frame encoder and the packing, with
// everything they carry from frame to frame. The process-wide encoder behind
// EncodeFrame is one of these; a fresh one starts from the state the codec has at load.
namespace g729a {

class FrameEncoder {
public:
    // G.729 4.3: the encoder starts initialized.
    FrameEncoder() { Reset(); }
    // G.729 4.3: initial state of the encoder; what only the load sets is kept.
    void Reset();
    // G.729 2.1, 3.1: 80 samples pre-processed, encoded and packed into 10 bytes.
    void Encode(const int16_t* samples, uint8_t* frame);

private:
    HighPassFilter preFilter_;
    Encoder encoder_;
    int params_[kParamsPerFrame] = {};
};

}  // namespace g729a
