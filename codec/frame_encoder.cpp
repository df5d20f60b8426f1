#include "codec/frame_encoder.h"

#include "codec/tables/tables.h"

namespace g729a {

void FrameEncoder::Reset() {
    preFilter_.Reset();
    encoder_.Reset();
}

void FrameEncoder::Encode(const int16_t* samples, uint8_t* frame) {
    double* speech = encoder_.NewSpeech();
    for (int i = 0; i < kSamplesPerFrame; ++i) speech[i] = samples[i];
    preFilter_.Run(kPreFilterB, kPreFilterA, speech, kSamplesPerFrame);
    encoder_.Encode(params_);
    PackFrame(params_, frame);
}

}  // namespace g729a
