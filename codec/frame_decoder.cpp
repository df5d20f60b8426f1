#include "codec/frame_decoder.h"

#include <algorithm>
#include <iterator>

#include "codec/codec.h"
#include "codec/frame_format.h"
#include "codec/reference_words.h"
#include "codec/tables/tables.h"

namespace g729a {
namespace {

// The output high-pass's coefficients rounded to the integer decoder's words, so that its
// low-frequency response is that decoder's.
struct HighPassWords {
    double b[3], a[3];

    HighPassWords() {
        for (int i = 0; i < 3; ++i) {
            b[i] = RoundedWord(kPostFilterB[i], kHighPassWordScale);
            a[i] = RoundedWord(kPostFilterA[i], kHighPassWordScale);
        }
    }
};

const HighPassWords highPassWords;

}  // namespace

void FrameDecoder::Reset() {
    badLsf_ = 0;
    std::fill(std::begin(synthesis_), std::end(synthesis_), 0.0);
    decoder_.Reset();
    postFilter_.Reset();
    postProcess_.Reset();
}

void FrameDecoder::Decode(const uint8_t* frame, int badFrame, double* out) {
    params_[kBadFrame] = badFrame != 0 ? 1 : 0;
    UnpackFrame(frame, params_ + 1);
    params_[kParityError] = ParityError(params_[kDelay1], params_[kParityError]);

    double* current = synthesis_ + kOrder;
    decoder_.Decode(params_, badLsf_, current, filters_);
    postFilter_.Run(current, filters_, out);
    std::copy(current + kFrameLength - kOrder, current + kFrameLength, synthesis_);
    postProcess_.Run(highPassWords.b, highPassWords.a, out, kFrameLength);
}

}  // namespace g729a
