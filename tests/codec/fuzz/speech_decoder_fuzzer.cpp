// Decodes any bytes as a stream of 10-byte frames, as a peer's packets reach
// the playback: on a decoder fresh from load, every sample that leaves the
// post-processing must be a finite number within kBound, so that the rounding
// to 16 bits meets nothing worse than saturation.
#include <cmath>
#include <cstdlib>

#include "codec/codec.h"
#include "codec/frame_decoder.h"

namespace {

constexpr double kBound = 1e6;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    g729a::FrameDecoder decoder;
    double samples[kSamplesPerFrame];
    for (size_t at = 0; at + kBytesPerFrame <= size; at += kBytesPerFrame) {
        decoder.Decode(data + at, 0, samples);
        for (double sample : samples)
            if (!std::isfinite(sample) || std::fabs(sample) > kBound) std::abort();
    }
    return 0;
}
