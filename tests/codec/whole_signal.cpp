#include "tests/codec/whole_signal.h"

#include <cstddef>

#include "codec/codec.h"

namespace codec_test {

std::vector<uint8_t> OurEncode(const std::vector<int16_t>& pcm) {
    std::vector<int16_t> in(pcm);
    in.resize((pcm.size() + kSamplesPerFrame - 1) / kSamplesPerFrame * kSamplesPerFrame, 0);
    std::vector<uint8_t> bits(in.size() / kSamplesPerFrame * kBytesPerFrame);
    InitEncoder();
    for (size_t f = 0; f * kSamplesPerFrame < in.size(); ++f)
        EncodeFrame(&in[f * kSamplesPerFrame], &bits[f * kBytesPerFrame]);
    return bits;
}

std::vector<int16_t> OurDecode(const std::vector<uint8_t>& bits) {
    std::vector<int16_t> out(bits.size() / kBytesPerFrame * kSamplesPerFrame);
    InitDecoder();
    for (size_t f = 0; f * kBytesPerFrame < bits.size(); ++f)
        DecodeFrame(&bits[f * kBytesPerFrame], &out[f * kSamplesPerFrame], 0);
    return out;
}

}  // namespace codec_test
