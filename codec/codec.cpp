#include "codec/codec.h"

#include "codec/dsp.h"
#include "codec/encoder.h"
#include "codec/frame_decoder.h"
#include "codec/frame_format.h"

namespace {

using namespace g729a;

// The process-wide encoder: callers encode one stream at a time.
struct EncoderSide {
    HighPassFilter preFilter;
    Encoder encoder;
    int params[kParamsPerFrame] = {};

    // G.729 4.3: the encoder starts initialized.
    EncoderSide() { Reset(); }
    // G.729 4.3: initial state of the encoder.
    void Reset() {
        preFilter.Reset();
        encoder.Reset();
    }
};

EncoderSide encoderSide;
// The process-wide decoder: callers decode one stream at a time.
FrameDecoder decoderSide;

}  // namespace

// G.729 4.3: encoder initialization.
void InitEncoder() { encoderSide.Reset(); }

// G.729 4.3: decoder initialization.
void InitDecoder() { decoderSide.Reset(); }

// G.729 2.1, 3.1: one frame through pre-processing and the encoder, packed.
void EncodeFrame(const int16_t* samples, uint8_t* frame) {
    EncoderSide& e = encoderSide;
    double* speech = e.encoder.NewSpeech();
    for (int i = 0; i < kSamplesPerFrame; ++i) speech[i] = samples[i];
    e.preFilter.Run(kPreFilterB, kPreFilterA, speech, kSamplesPerFrame);
    e.encoder.Encode(e.params);
    PackFrame(e.params, frame);
}

// G.729 2.2, 4.1, 4.2, 4.2.5: one frame decoded into 16-bit samples.
void DecodeFrame(const uint8_t* frame, int16_t* samples, int badFrame) {
    double output[kSamplesPerFrame];
    decoderSide.Decode(frame, badFrame, output);
    for (int i = 0; i < kSamplesPerFrame; ++i) samples[i] = RoundToPcm(output[i]);
}
