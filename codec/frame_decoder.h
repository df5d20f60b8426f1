#pragma once
#include <cstdint>

#include "codec/decoder.h"
#include "codec/dsp.h"
#include "codec/post_filter.h"

// One decoding stream: unpacking, the frame decoder, the post-filter and the
// output filter, with everything they carry from frame to frame. The
// process-wide decoder behind DecodeFrame is one of these; a fresh one starts
// from the state the codec has at load.
namespace g729a {

class FrameDecoder {
public:
    // G.729 4.3: the decoder starts initialized.
    FrameDecoder() { Reset(); }
    // G.729 4.3: initial state of the decoder and its post-processing; what only
    // the load sets is kept.
    void Reset();
    // G.729 2.2, 4.1, 4.2: one 10-byte frame unpacked, decoded and post-processed
    // into 80 samples, before their rounding to 16 bits.
    void Decode(const uint8_t* frame, int badFrame, double* out);

private:
    Decoder decoder_;
    PostFilter postFilter_;
    HighPassFilter postProcess_;
    int params_[kDecoderParamCount] = {};
    SubframeFilters filters_ = {};
    double synthesis_[kOrder + kFrameLength] = {};  // history for the post-filter, then the frame
    // Erasure of the LSPs alone; nothing in this codec ever raises it.
    int badLsf_ = 0;
};

}  // namespace g729a
