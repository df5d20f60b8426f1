// The frame byte layout, parity, output rounding and the CAudioCode block decoder.
#include <gtest/gtest.h>

#include <array>
#include <cstdint>

#include "codec/audio_code.h"
#include "codec/codec.h"
#include "codec/frame_format.h"

namespace {

using Params = std::array<int, kParamsPerFrame>;
using Frame = std::array<uint8_t, kBytesPerFrame>;

constexpr Params kSampleParams = {0x81, 0x155, 0x5A, 1, 0x1234, 0xA, 0x55, 0x11, 0xABC, 0x3, 0x7F};
constexpr Frame kSampleBytes = {0x81, 0x55, 0x56, 0xB2, 0x34, 0xAA, 0xB1, 0x55, 0xE1, 0xFF};
constexpr int kWidths[kParamsPerFrame] = {8, 10, 8, 1, 13, 4, 7, 5, 13, 4, 7};

Frame Pack(const Params& params) {
    Frame frame{};
    PackFrame(params.data(), frame.data());
    return frame;
}

Params Unpack(const Frame& frame) {
    Params params{};
    UnpackFrame(frame.data(), params.data());
    return params;
}

// Reference MSB-first bit string, built bit by bit.
Frame BitString(const Params& params) {
    Frame frame{};
    int bit = 0;
    for (int p = 0; p < kParamsPerFrame; ++p)
        for (int b = kWidths[p] - 1; b >= 0; --b, ++bit)
            if ((params[p] >> b) & 1) frame[bit / 8] |= static_cast<uint8_t>(0x80 >> (bit % 8));
    return frame;
}

TEST(FrameLayout, SampleParametersPackToKnownBytes) {
    EXPECT_EQ(Pack(kSampleParams), kSampleBytes);
    EXPECT_EQ(Unpack(kSampleBytes), kSampleParams);
}

TEST(FrameLayout, AllMaximumParametersPackToAllOnes) {
    Params max{};
    for (int p = 0; p < kParamsPerFrame; ++p) max[p] = (1 << kWidths[p]) - 1;
    Frame ones;
    ones.fill(0xFF);
    EXPECT_EQ(Pack(max), ones);
    EXPECT_EQ(Unpack(ones), max);
}

TEST(FrameLayout, SingleBitsLandAtTheirStringPositions) {
    for (int p = 0; p < kParamsPerFrame; ++p) {
        for (int b = 0; b < kWidths[p]; ++b) {
            Params params{};
            params[p] = 1 << b;
            ASSERT_EQ(Pack(params), BitString(params)) << "parameter " << p << " bit " << b;
            ASSERT_EQ(Unpack(BitString(params)), params) << "parameter " << p << " bit " << b;
        }
    }
}

TEST(FrameLayout, PseudoRandomParametersRoundTrip) {
    uint32_t seed = 7;
    for (int n = 0; n < 2000; ++n) {
        Params params{};
        for (int p = 0; p < kParamsPerFrame; ++p) {
            seed = seed * 1103515245u + 12345u;
            params[p] = static_cast<int>((seed >> 8) & ((1u << kWidths[p]) - 1u));
        }
        ASSERT_EQ(Pack(params), BitString(params));
        ASSERT_EQ(Unpack(Pack(params)), params);
    }
}

TEST(FrameLayout, OversizedValuesDoNotSpillIntoNeighbours) {
    Params params{};
    params[3] = 0xFFFF;  // the 1-bit parity
    Params expected{};
    expected[3] = 1;
    EXPECT_EQ(Pack(params), BitString(expected));
}

TEST(Rounding, HalfAwayFromZero) {
    EXPECT_EQ(g729a::RoundToPcm(2.5), 3);
    EXPECT_EQ(g729a::RoundToPcm(-2.5), -3);
    EXPECT_EQ(g729a::RoundToPcm(2.49), 2);
    EXPECT_EQ(g729a::RoundToPcm(-2.49), -2);
    EXPECT_EQ(g729a::RoundToPcm(0.0), 0);
}

TEST(Rounding, Saturates) {
    EXPECT_EQ(g729a::RoundToPcm(32767.4), 32767);
    EXPECT_EQ(g729a::RoundToPcm(40000.0), 32767);
    EXPECT_EQ(g729a::RoundToPcm(-32768.4), -32768);
    EXPECT_EQ(g729a::RoundToPcm(-1e9), -32768);
}

TEST(Parity, CoversTheSixMostSignificantBitsOfTheFirstDelay) {
    // No bit among 7..2 set: parity 1.
    EXPECT_EQ(g729a::ParityError(0x03, 1), 0);
    EXPECT_EQ(g729a::ParityError(0x03, 0), 1);
    // One bit set: parity 0.
    EXPECT_EQ(g729a::ParityError(0x80, 0), 0);
    EXPECT_EQ(g729a::ParityError(0x04, 0), 0);
    EXPECT_EQ(g729a::ParityError(0x84, 1), 0);
    EXPECT_EQ(g729a::ParityError(0xFF, 1), 0);
}

class AudioCodeTest : public ::testing::Test {
protected:
    CAudioCode code;
    uint8_t block[CAudioCode::kBlockBytes] = {};
    int16_t samples[240];
};

TEST_F(AudioCodeTest, RejectsAnyCountButThirty) {
    for (int32_t count : {0, 10, 29, 31, 60, -30}) {
        std::fill(std::begin(samples), std::end(samples), int16_t{1234});
        int32_t bytes = -7;
        EXPECT_EQ(code.Decode(block, count, samples, &bytes), 0) << count;
        EXPECT_EQ(bytes, -7);
        for (int16_t s : samples) ASSERT_EQ(s, 1234);
    }
}

TEST_F(AudioCodeTest, RejectsMissingSampleBuffer) {
    int32_t bytes = -7;
    EXPECT_EQ(code.Decode(block, 30, nullptr, &bytes), 0);
    EXPECT_EQ(bytes, -7);
}

// The load-only decoder state makes decoding after a reset depend on what came before, so
// both paths decode the same frames a few times and compare the settled output.
TEST_F(AudioCodeTest, DecodesThreeFramesLikeDecodeFrame) {
    for (int i = 0; i < CAudioCode::kBlockBytes; ++i) block[i] = static_cast<uint8_t>(i * 37 + 11);
    testing::internal::CaptureStdout();
    int32_t bytes = 0;
    for (int n = 0; n < 8; ++n)
        ASSERT_EQ(code.Decode(block, 30, samples, n == 7 ? &bytes : nullptr), 1);
    EXPECT_EQ(bytes, 480);

    InitDecoder();
    int16_t expected[240];
    for (int n = 0; n < 8; ++n)
        for (int f = 0; f < 3; ++f) DecodeFrame(block + 10 * f, expected + 80 * f, 0);
    testing::internal::GetCapturedStdout();
    for (int i = 0; i < 240; ++i) ASSERT_NEAR(samples[i], expected[i], 1) << i;
}

}  // namespace
