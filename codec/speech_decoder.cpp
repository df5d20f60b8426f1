#include "codec/speech_decoder.h"

#include "codec/codec.h"
#include "codec/frame_format.h"

void SpeechDecoder::Decode(const uint8_t* frame, int16_t* samples) { Run(frame, 0, samples); }

void SpeechDecoder::Conceal(int16_t* samples) {
    // The erased frame's bytes are not read for anything that is played.
    static constexpr uint8_t kErased[kBytesPerFrame] = {};
    Run(kErased, 1, samples);
}

void SpeechDecoder::Run(const uint8_t* frame, int badFrame, int16_t* samples) {
    double output[kSamplesPerFrame];
    decoder_.Decode(frame, badFrame, output);
    for (int i = 0; i < kSamplesPerFrame; ++i) samples[i] = g729a::RoundToPcm(output[i]);
}
