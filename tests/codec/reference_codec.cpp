#include "tests/codec/reference_codec.h"

#include <cstddef>

extern "C" {
#include <bcg729/decoder.h>
#include <bcg729/encoder.h>
}

#include "codec/codec.h"

namespace codec_test {
namespace {

size_t Frames(size_t samples) { return (samples + kSamplesPerFrame - 1) / kSamplesPerFrame; }

std::vector<int16_t> Padded(const std::vector<int16_t>& pcm) {
    std::vector<int16_t> padded(pcm);
    padded.resize(Frames(pcm.size()) * kSamplesPerFrame, 0);
    return padded;
}

}  // namespace

std::vector<uint8_t> ReferenceEncode(const std::vector<int16_t>& pcm) {
    const std::vector<int16_t> in = Padded(pcm);
    std::vector<uint8_t> bits(in.size() / kSamplesPerFrame * kBytesPerFrame);
    auto* ctx = initBcg729EncoderChannel(0);
    for (size_t f = 0; f * kSamplesPerFrame < in.size(); ++f) {
        uint8_t length = 0;
        bcg729Encoder(ctx, &in[f * kSamplesPerFrame], &bits[f * kBytesPerFrame], &length);
    }
    closeBcg729EncoderChannel(ctx);
    return bits;
}

std::vector<int16_t> ReferenceDecode(const std::vector<uint8_t>& bits) {
    std::vector<int16_t> out(bits.size() / kBytesPerFrame * kSamplesPerFrame);
    auto* ctx = initBcg729DecoderChannel();
    for (size_t f = 0; f * kBytesPerFrame < bits.size(); ++f)
        bcg729Decoder(ctx, &bits[f * kBytesPerFrame], kBytesPerFrame, 0, 0, 0,
                      &out[f * kSamplesPerFrame]);
    closeBcg729DecoderChannel(ctx);
    return out;
}

}  // namespace codec_test
