#pragma once
#include <cstdint>

#include "codec/frame_decoder.h"

// A decoder of one speech stream, with state of its own: several streams are
// decoded side by side without their frames meeting in one state. Its samples
// are those DecodeFrame writes for the same frames from the same state. A new
// one starts from the state the codec has at load.
class SpeechDecoder {
public:
    // 10 frame bytes into 80 samples.
    void Decode(const uint8_t* frame, int16_t* samples);
    // 80 samples for a frame that never came: G.729 4.4, the previous frame's
    // parameters again, attenuated.
    void Conceal(int16_t* samples);

private:
    void Run(const uint8_t* frame, int badFrame, int16_t* samples);

    g729a::FrameDecoder decoder_;
};
