#include "tests/codec/whole_signal.h"

#include <cstddef>

#include "codec/codec.h"
#include "codec/frame_decoder.h"
#include "codec/frame_encoder.h"
#include "codec/frame_format.h"

namespace codec_test {
namespace {

template <typename EncodeOne>
std::vector<uint8_t> EncodeWhole(const std::vector<int16_t>& pcm, EncodeOne encode) {
    std::vector<int16_t> in(pcm);
    in.resize((pcm.size() + kSamplesPerFrame - 1) / kSamplesPerFrame * kSamplesPerFrame, 0);
    std::vector<uint8_t> bits(in.size() / kSamplesPerFrame * kBytesPerFrame);
    for (size_t f = 0; f * kSamplesPerFrame < in.size(); ++f)
        encode(&in[f * kSamplesPerFrame], &bits[f * kBytesPerFrame]);
    return bits;
}

template <typename DecodeOne>
std::vector<int16_t> DecodeWhole(const std::vector<uint8_t>& bits, DecodeOne decode) {
    std::vector<int16_t> out(bits.size() / kBytesPerFrame * kSamplesPerFrame);
    for (size_t f = 0; f * kBytesPerFrame < bits.size(); ++f)
        decode(&bits[f * kBytesPerFrame], &out[f * kSamplesPerFrame]);
    return out;
}

}  // namespace

std::vector<uint8_t> OurEncode(const std::vector<int16_t>& pcm) {
    InitEncoder();
    return EncodeWhole(pcm, EncodeFrame);
}

std::vector<int16_t> OurDecode(const std::vector<uint8_t>& bits) {
    InitDecoder();
    return DecodeWhole(bits, [](const uint8_t* frame, int16_t* samples) {
        DecodeFrame(frame, samples, 0);
    });
}

std::vector<uint8_t> FreshEncode(const std::vector<int16_t>& pcm) {
    g729a::FrameEncoder encoder;
    return EncodeWhole(pcm, [&encoder](const int16_t* samples, uint8_t* frame) {
        encoder.Encode(samples, frame);
    });
}

std::vector<int16_t> FreshDecode(const std::vector<uint8_t>& bits) {
    g729a::FrameDecoder decoder;
    return DecodeWhole(bits, [&decoder](const uint8_t* frame, int16_t* samples) {
        double out[kSamplesPerFrame];
        decoder.Decode(frame, 0, out);
        for (int i = 0; i < kSamplesPerFrame; ++i) samples[i] = g729a::RoundToPcm(out[i]);
    });
}

}  // namespace codec_test
