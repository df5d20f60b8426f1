// Behaviour of the encoder and decoder cores and of the process-wide codec state.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <numbers>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "codec/codec.h"
#include "codec/cosine.h"
#include "codec/decoder.h"
#include "codec/dsp.h"
#include "codec/encoder.h"
#include "codec/frame_decoder.h"
#include "codec/lsp_quantizer.h"
#include "codec/pitch.h"
#include "codec/reference_words.h"
#include "codec/synthesis_headroom.h"
#include "tests/codec/whole_signal.h"
#include "tests/codec/signal_quality.h"
#include "tests/codec/test_signals.h"

namespace {

using namespace g729a;
using codec_test::OurDecode;
using codec_test::OurEncode;

std::vector<int> Params(const uint8_t* frame) {
    std::vector<int> params(kParamsPerFrame);
    UnpackFrame(frame, params.data());
    return params;
}

TEST(LspGuard, ClampsTheFirstValueAndWarns) {
    double lsf[kOrder];
    for (int i = 0; i < kOrder; ++i) lsf[i] = 0.3 * (i + 1);
    lsf[0] = 0.001;
    testing::internal::CaptureStdout();
    StabilizeLsf(lsf);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "warning LSP Low \n");
    EXPECT_EQ(lsf[0], 0.005);
}

TEST(LspGuard, ClampsTheLastValueAndWarns) {
    double lsf[kOrder];
    for (int i = 0; i < kOrder; ++i) lsf[i] = 0.3 * (i + 1);
    lsf[kOrder - 1] = 3.14;
    testing::internal::CaptureStdout();
    StabilizeLsf(lsf);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "warning LSP High \n");
    EXPECT_EQ(lsf[kOrder - 1], 3.135);
}

TEST(LspGuard, SwapsOnceAndSpacesNeighbours) {
    double lsf[kOrder] = {0.2, 0.1, 0.5, 0.51, 1.0, 1.2, 1.4, 1.6, 1.8, 2.0};
    testing::internal::CaptureStdout();
    StabilizeLsf(lsf);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    EXPECT_DOUBLE_EQ(lsf[0], 0.1);
    EXPECT_DOUBLE_EQ(lsf[1], 0.2);
    EXPECT_DOUBLE_EQ(lsf[3], 0.5 + 0.0392);
    for (int i = 1; i < kOrder; ++i) EXPECT_GE(lsf[i] - lsf[i - 1], 0.0392 - 1e-12);
}

// The LSPs come from the codec's own cosine: against a cosine in extended precision it must
// give the same LSP word for every LSF word, and stay within two units in the last place.
TEST(LspCosine, GivesTheExactWordsAndValues) {
    const auto exact = [](double x) { return double(std::cos(static_cast<long double>(x))); };
    for (int k = 0; k / kLsfWordScale <= std::numbers::pi; ++k) {
        const double lsf = k / kLsfWordScale;
        ASSERT_EQ(RoundedWord(Cosine(lsf), kLspWordScale), RoundedWord(exact(lsf), kLspWordScale))
            << "LSF word " << k;
    }
    constexpr int kSteps = 1 << 18;
    for (int i = 0; i <= kSteps; ++i) {
        const double x = std::numbers::pi * i / kSteps, y = exact(x);
        const double unit = std::ldexp(1.0, std::max(std::ilogb(y), -3) - 52);
        ASSERT_LE(std::fabs(Cosine(x) - y), 2 * unit) << "x = " << x;
    }
}

TEST(LspCosine, InverseIsWithinTwoUnitsOverTheWholeRange) {
    constexpr int kSteps = 1 << 18;
    for (int i = -kSteps; i <= kSteps; ++i) {
        const double x = double(i) / kSteps + std::ldexp(double(i % 7), -30);
        if (std::fabs(x) > 1.0) continue;
        const double y = double(std::acos(static_cast<long double>(x)));
        const double unit = std::ldexp(1.0, std::max(std::ilogb(y), -20) - 52);
        ASSERT_LE(std::fabs(ArcCosine(x) - y), 2 * unit) << "x = " << x;
    }
    EXPECT_EQ(ArcCosine(1.0), 0.0);
}

TEST(PitchDelay, FirstSubframeCodesLongDelaysWithoutFractions) {
    EXPECT_EQ(EncodeFirstDelay(PitchDelay{100, 0}), 212);
    EXPECT_EQ(EncodeFirstDelay(PitchDelay{20, -1}), 1);
    EXPECT_EQ(EncodeFirstDelay(PitchDelay{84, 1}), 195);
    for (int index = 0; index < 256; ++index) {
        const PitchDelay d = DecodeFirstDelay(index);
        if (index >= 197) {
            EXPECT_EQ(d.fraction, 0);
        }
        if (index > 0) {
            EXPECT_EQ(EncodeFirstDelay(d), index);
        }
    }
}

TEST(PitchDelay, SecondSubframeIsRelativeToTheFirst) {
    for (int first = 20; first <= 143; ++first) {
        const PitchRange range = SecondSubframeRange(first);
        EXPECT_GE(range.min, 20);
        EXPECT_LE(range.max, 143);
        EXPECT_EQ(range.max - range.min, 9);
        for (int t = range.min; t <= range.max; ++t)
            for (int f = -1; f <= 1; ++f) {
                if ((t == range.min && f < 0) || (t == range.max && f > 0)) continue;
                const PitchDelay d = DecodeSecondDelay(EncodeSecondDelay({t, f}, range), first);
                EXPECT_EQ(d.integer, t);
                EXPECT_EQ(d.fraction, f);
            }
    }
}

// The past excitation is noise; the target is its adaptive vector at 100 1/3 samples
// through a short impulse response.
struct FractionalDelayCase {
    double history[160 + 40];
    double h[40] = {1.0, 0.5, 0.25};
    double target[40];

    FractionalDelayCase() {
        uint32_t seed = 99;
        for (double& v : history) {
            seed = seed * 1664525u + 1013904223u;
            v = double(seed >> 20) - 2048.0;
        }
        double* exc = history + 160;
        AdaptiveCodebookVector(exc, PitchDelay{100, 1}, 40);
        Convolve(exc, h, target, 40);
    }
};

TEST(PitchDelay, ClosedLoopSkipsFractionsAbove84InTheFirstSubframe) {
    FractionalDelayCase first;
    const PitchDelay d1 =
        ClosedLoopPitch(first.history + 160, first.target, first.h, {97, 103}, true);
    EXPECT_EQ(d1.fraction, 0);
    FractionalDelayCase second;
    const PitchDelay d2 =
        ClosedLoopPitch(second.history + 160, second.target, second.h, {97, 106}, false);
    EXPECT_EQ(d2.integer, 100);
    EXPECT_EQ(d2.fraction, 1);
}

TEST(Parity, EncoderWritesTheParityOfTheFirstDelay) {
    const auto pcm = codec_test::SyntheticVoice(50);
    const auto bits = OurEncode(pcm);
    for (size_t f = 0; f < bits.size(); f += kBytesPerFrame) {
        const auto p = Params(&bits[f]);
        int ones = 0;
        for (int b = 2; b < 8; ++b) ones += (p[2] >> b) & 1;
        EXPECT_EQ(p[3], (1 + ones) % 2);
    }
}

TEST(Encoder, ZerosAfterResetGiveSilentFrames) {
    Encoder encoder;
    encoder.Reset();
    Decoder decoder;
    decoder.Reset();
    for (int f = 0; f < 20; ++f) {
        double* speech = encoder.NewSpeech();
        for (int i = 0; i < 80; ++i) speech[i] = 0.0;
        int params[kDecoderParamCount] = {};
        encoder.Encode(params + 1);
        uint8_t frame[kBytesPerFrame];
        PackFrame(params + 1, frame);
        UnpackFrame(frame, params + 1);
        ASSERT_EQ(params[kParityError], PitchParity(params[kDelay1]));
        params[kParityError] = 0;
        double synthesis[80];
        SubframeFilters filters;
        decoder.Decode(params, 0, synthesis, filters);
        for (double s : synthesis) {
            ASSERT_TRUE(std::isfinite(s));
            ASSERT_LT(std::abs(s), 8.0) << "frame " << f;
        }
    }
}

// Encodes `frames` frames of `pcm` (no pre-filter needed for this comparison).
std::vector<int> EncodeParams(Encoder& encoder, const std::vector<int16_t>& pcm, int frames) {
    std::vector<int> all;
    for (int f = 0; f < frames; ++f) {
        double* speech = encoder.NewSpeech();
        for (int i = 0; i < 80; ++i) speech[i] = pcm[f * 80 + i];
        int params[kParamsPerFrame];
        encoder.Encode(params);
        all.insert(all.end(), params, params + kParamsPerFrame);
    }
    return all;
}

TEST(Encoder, RunsFromLoadAreIdenticalAndResetKeepsLoadOnlyState) {
    // A fresh object is the codec as loaded; the g729a tool test checks two processes.
    const auto pcm = codec_test::SyntheticVoice(30);
    Encoder a, b;
    a.Reset();
    b.Reset();
    const auto fromLoad = EncodeParams(a, pcm, 30);
    EXPECT_EQ(EncodeParams(b, pcm, 30), fromLoad);
    // The previous LSPs and the gain predictor survive a reset, so the start differs.
    a.Reset();
    const auto afterReset = EncodeParams(a, pcm, 30);
    EXPECT_NE(std::vector<int>(afterReset.begin(), afterReset.begin() + 3 * kParamsPerFrame),
              std::vector<int>(fromLoad.begin(), fromLoad.begin() + 3 * kParamsPerFrame));
}

TEST(Decoder, FreshDecodersAgree) {
    const auto bits = OurEncode(codec_test::SyntheticVoice(30));
    Decoder a, b;
    a.Reset();
    b.Reset();
    int params[kDecoderParamCount] = {};
    for (size_t f = 0; f < bits.size(); f += kBytesPerFrame) {
        UnpackFrame(&bits[f], params + 1);
        double sa[80], sb[80];
        SubframeFilters fa, fb;
        a.Decode(params, 0, sa, fa);
        b.Decode(params, 0, sb, fb);
        for (int i = 0; i < 80; ++i) ASSERT_EQ(sa[i], sb[i]);
    }
}

TEST(Decoder, BadFrameDrawsPositionsThenSignsFromTheGenerator) {
    Decoder fresh;
    EXPECT_EQ(fresh.NextRandom(), 3242);
    EXPECT_EQ(fresh.NextRandom(), 23867);
    EXPECT_EQ(fresh.NextRandom(), 54488);

    Decoder d;
    d.Reset();
    int params[kDecoderParamCount] = {1};
    double synthesis[80];
    SubframeFilters filters;
    d.Decode(params, 0, synthesis, filters);
    // Two draws per subframe: the next is the fifth output.
    EXPECT_EQ(d.NextRandom(), 22070);
}

TEST(Decoder, ConcealedLagsGrowByOnePerSubframeUpTo143) {
    Decoder d;
    d.Reset();
    int params[kDecoderParamCount] = {};
    params[kDelay1] = EncodeFirstDelay(PitchDelay{138, 0});
    params[kDelay2] = 17;  // 3 * (138 - 133) + 2: delay 138 again
    double synthesis[80];
    SubframeFilters filters;
    d.Decode(params, 0, synthesis, filters);
    EXPECT_EQ(filters.lags[0], 138);

    params[kBadFrame] = 1;
    d.Decode(params, 0, synthesis, filters);
    EXPECT_EQ(filters.lags[0], 138);  // the second subframe's lag was 138 too
    EXPECT_EQ(filters.lags[1], 139);
    d.Decode(params, 0, synthesis, filters);
    d.Decode(params, 0, synthesis, filters);
    EXPECT_EQ(filters.lags[0], 142);
    EXPECT_EQ(filters.lags[1], 143);
    d.Decode(params, 0, synthesis, filters);
    EXPECT_EQ(filters.lags[1], 143);
}

TEST(Decoder, ParityErrorRepeatsThePreviousLag) {
    Decoder d;
    d.Reset();
    int params[kDecoderParamCount] = {};
    params[kDelay1] = EncodeFirstDelay(PitchDelay{50, 0});
    params[kDelay2] = 17;  // 3 * 5 + 2: delay 50 again
    double synthesis[80];
    SubframeFilters filters;
    d.Decode(params, 0, synthesis, filters);
    ASSERT_EQ(filters.lags[0], 50);
    ASSERT_EQ(filters.lags[1], 50);
    params[kDelay1] = EncodeFirstDelay(PitchDelay{90, 0});
    params[kParityError] = 1;
    d.Decode(params, 0, synthesis, filters);
    EXPECT_EQ(filters.lags[0], 50);
    EXPECT_EQ(filters.lags[1], 50);  // relative to the concealed 50
}

// Ten zero bytes are an ordinary frame with all parameters 0; its parity bit fails, so
// subframe 1 repeats the previous lag (60 after a reset).
TEST(Decoder, AllZeroFrameIsAnOrdinaryFrameWithAParityError) {
    const uint8_t zeros[kBytesPerFrame] = {};
    int params[kDecoderParamCount] = {};
    UnpackFrame(zeros, params + 1);
    for (int p : params) ASSERT_EQ(p, 0);
    params[kParityError] = g729a::PitchParity(params[kDelay1]) ^ params[kParityError];
    EXPECT_EQ(params[kParityError], 1);

    Decoder d;
    d.Reset();
    double synthesis[80];
    SubframeFilters filters;
    d.Decode(params, 0, synthesis, filters);
    EXPECT_EQ(filters.lags[0], 60);
    EXPECT_EQ(filters.lags[1], 54);  // index 0: 2/3 below the range 55..64, i.e. 54 1/3
    for (double v : synthesis) EXPECT_TRUE(std::isfinite(v));
}

std::vector<int16_t> TwoTones(double f, int samples) {
    const double w = 2.0 * std::numbers::pi * f / 8000.0;
    std::vector<int16_t> pcm(samples);
    for (int i = 0; i < samples; ++i)
        pcm[i] = static_cast<int16_t>(8000.0 * std::sin(w * i) + 1000.0 * std::sin(2.02 * w * i));
    return pcm;
}

TEST(RoundTrip, TonesKeepTheirWaveform) {
    for (double f : {440.0, 1000.0}) {
        const auto pcm = TwoTones(f, 16000);
        const auto decoded = OurDecode(OurEncode(pcm));
        ASSERT_EQ(decoded.size(), pcm.size());
        EXPECT_GT(codec_test::SegmentalSnr(pcm, decoded, 40), 5.0) << f << " Hz";
    }
}

// Frames from a hostile peer: pitch gains above 1 over and over must not grow
// the output without end (towards infinity, which the rounding to 16 bits
// cannot take). Each stream is random frames, then one of them repeated.
TEST(Decoder, RandomFramesKeepTheOutputFiniteAndBounded) {
    std::mt19937 random(7);
    double loudest = 0.0;
    for (int stream = 0; stream < 40; ++stream) {
        FrameDecoder decoder;
        uint8_t frame[kBytesPerFrame];
        double out[kSamplesPerFrame];
        for (int f = 0; f < 400; ++f) {
            if (f < 40 || f % 50 == 0)
                for (uint8_t& byte : frame) byte = uint8_t(random());
            decoder.Decode(frame, 0, out);
            for (double x : out) {
                ASSERT_TRUE(std::isfinite(x));
                loudest = std::max(loudest, std::fabs(x));
            }
        }
    }
    EXPECT_LT(loudest, 1e6);
}

// The streams the fuzzer found growing the output, replayed as the fuzz target does.
TEST(Decoder, HostileRegressionStreamsStayFiniteAndBounded) {
    for (const char* name : {"regression-growing-excitation", "regression-loud-synthesis"}) {
        std::FILE* f = std::fopen((std::string(CODEC_FUZZ_CORPUS "/") + name).c_str(), "rb");
        ASSERT_NE(f, nullptr) << name;
        FrameDecoder decoder;
        uint8_t frame[kBytesPerFrame];
        double out[kSamplesPerFrame];
        double loudest = 0.0;
        while (std::fread(frame, 1, kBytesPerFrame, f) == kBytesPerFrame) {
            decoder.Decode(frame, 0, out);
            for (double x : out) loudest = std::isfinite(x) ? std::max(loudest, std::fabs(x)) : 1e300;
        }
        std::fclose(f);
        EXPECT_LT(loudest, 1e6) << name;
    }
}

// The fixed-point decoder has twice our full scale as headroom: a subframe of loud speech
// beyond 16 bits is no overflow, one beyond its words is.
TEST(SynthesisHeadroom, OnlyTheFixedPointDecodersOverflowCounts) {
    const double a[kOrder + 1] = {1.0, -0.9};  // one pole: the output rises towards 10 x
    const double memory[kOrder] = {};
    // Peaks of about 39400 and 69000.
    for (const auto& [level, overflows] : {std::pair{4000.0, false}, std::pair{7000.0, true}}) {
        double x[kSubframeLength], y[kSubframeLength], state[kOrder] = {};
        std::fill(std::begin(x), std::end(x), level);
        SynthesisFilter(a, x, y, kSubframeLength, state, false);
        EXPECT_EQ(SynthesisSaturates(a, x, y, memory, kSubframeLength), overflows)
            << "peak " << y[kSubframeLength - 1];
    }
}

TEST(RoundTrip, VoiceKeepsItsLoudnessContour) {
    const auto pcm = codec_test::SyntheticVoice(200);
    const auto decoded = OurDecode(OurEncode(pcm));
    double deviation = 0.0;
    int segments = 0;
    for (size_t start = 400; start + 120 < pcm.size(); start += 80) {
        double in = 0.0, out = 0.0;
        for (size_t i = start; i < start + 80; ++i) {
            in += double(pcm[i]) * pcm[i];
            out += double(decoded[i + 40]) * decoded[i + 40];
        }
        if (in < 80.0 * 300.0 * 300.0) continue;
        deviation += std::abs(10.0 * std::log10((out + 1.0) / in));
        ++segments;
    }
    ASSERT_GT(segments, 100);
    EXPECT_LT(deviation / segments, 2.0);
}

}  // namespace
