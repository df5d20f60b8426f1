#include "codec/codec.h"

#include "codec/frame_decoder.h"
#include "codec/frame_encoder.h"
#include "codec/frame_format.h"

namespace {

// The process-wide encoder and decoder: callers encode one stream and decode one
// stream at a time.
g729a::FrameEncoder encoderSide;
g729a::FrameDecoder decoderSide;

}  // namespace

// G.729 4.3: encoder initialization.
void InitEncoder() { encoderSide.Reset(); }

// G.729 4.3: decoder initialization.
void InitDecoder() { decoderSide.Reset(); }

// G.729 2.1, 3.1: one frame through pre-processing and the encoder, packed.
void EncodeFrame(const int16_t* samples, uint8_t* frame) { encoderSide.Encode(samples, frame); }

// G.729 2.2, 4.1, 4.2, 4.2.5: one frame decoded into 16-bit samples.
void DecodeFrame(const uint8_t* frame, int16_t* samples, int badFrame) {
    double output[kSamplesPerFrame];
    decoderSide.Decode(frame, badFrame, output);
    for (int i = 0; i < kSamplesPerFrame; ++i) samples[i] = g729a::RoundToPcm(output[i]);
}
