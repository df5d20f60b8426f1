#include "codec/codec.h"

#include <algorithm>
#include <iterator>

#include "codec/decoder.h"
#include "codec/dsp.h"
#include "codec/encoder.h"
#include "codec/frame_format.h"
#include "codec/post_filter.h"

namespace {

using namespace g729a;

// The process-wide encoder: callers encode one stream at a time.
struct EncoderSide {
    HighPassFilter preFilter;
    Encoder encoder;
    int params[kParamsPerFrame] = {};

    EncoderSide() { Reset(); }
    void Reset() {
        preFilter.Reset();
        encoder.Reset();
    }
};

// The process-wide decoder with its post-filter and output filter.
struct DecoderSide {
    Decoder decoder;
    PostFilter postFilter;
    HighPassFilter postProcess;
    int params[kDecoderParamCount] = {};
    SubframeFilters filters = {};
    double synthesis[kOrder + kFrameLength] = {};  // history for the post-filter, then the frame
    double output[kFrameLength] = {};

    DecoderSide() { Reset(); }
    void Reset() {
        std::fill(std::begin(synthesis), std::end(synthesis), 0.0);
        decoder.Reset();
        postFilter.Reset();
        postProcess.Reset();
    }
};

EncoderSide encoderSide;
DecoderSide decoderSide;
// Erasure of the LSPs alone; nothing in this codec ever raises it.
int BadLsfFlag = 0;

}  // namespace

void InitEncoder() { encoderSide.Reset(); }

void InitDecoder() {
    BadLsfFlag = 0;
    decoderSide.Reset();
}

void EncodeFrame(const int16_t* samples, uint8_t* frame) {
    EncoderSide& e = encoderSide;
    double* speech = e.encoder.NewSpeech();
    for (int i = 0; i < kSamplesPerFrame; ++i) speech[i] = samples[i];
    e.preFilter.Run(kPreFilterB, kPreFilterA, speech, kSamplesPerFrame);
    e.encoder.Encode(e.params);
    PackFrame(e.params, frame);
}

void DecodeFrame(const uint8_t* frame, int16_t* samples, int badFrame) {
    DecoderSide& d = decoderSide;
    d.params[kBadFrame] = badFrame != 0 ? 1 : 0;
    UnpackFrame(frame, d.params + 1);
    d.params[kParityError] = ParityError(d.params[kDelay1], d.params[kParityError]);

    double* current = d.synthesis + kOrder;
    d.decoder.Decode(d.params, BadLsfFlag, current, d.filters);
    d.postFilter.Run(current, d.filters, d.output);
    std::copy(current + kFrameLength - kOrder, current + kFrameLength, d.synthesis);
    d.postProcess.Run(kPostFilterB, kPostFilterA, d.output, kFrameLength);
    for (int i = 0; i < kSamplesPerFrame; ++i) samples[i] = RoundToPcm(d.output[i]);
}
