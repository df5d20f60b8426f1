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

    // G.729 4.3: the encoder starts initialized.
    EncoderSide() { Reset(); }
    // G.729 4.3: initial state of the encoder.
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

    // G.729 4.3: the decoder starts initialized.
    DecoderSide() { Reset(); }
    // G.729 4.3: initial state of the decoder and its post-processing.
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

// G.729 4.3: encoder initialization.
void InitEncoder() { encoderSide.Reset(); }

// G.729 4.3: decoder initialization.
void InitDecoder() {
    BadLsfFlag = 0;
    decoderSide.Reset();
}

// G.729 2.1, 3.1: one frame through pre-processing and the encoder, packed.
void EncodeFrame(const int16_t* samples, uint8_t* frame) {
    EncoderSide& e = encoderSide;
    double* speech = e.encoder.NewSpeech();
    for (int i = 0; i < kSamplesPerFrame; ++i) speech[i] = samples[i];
    e.preFilter.Run(kPreFilterB, kPreFilterA, speech, kSamplesPerFrame);
    e.encoder.Encode(e.params);
    PackFrame(e.params, frame);
}

// G.729 2.2, 4.1, 4.2: one frame unpacked, decoded and post-processed.
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
