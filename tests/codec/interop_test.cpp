// Interoperability with libbcg729, an independent (fixed-point) implementation, on speech
// made by espeak-ng and sox (at ordinary levels, quiet, at full scale and clipped), sweeps,
// a full-scale tone, pink noise and noisy speech.
#include <gtest/gtest.h>

#include <cstdio>
#include <iterator>
#include <string>
#include <vector>

#include "common/byte_order.h"
#include "tests/codec/reference_codec.h"
#include "tests/codec/signal_quality.h"
#include "tests/codec/whole_signal.h"

namespace {

using namespace codec_test;

constexpr int kCodecDelay = 40;  // look-ahead of the encoder, in samples
constexpr double kQualityMargin = 1.0;   // dB of segmental SNR below the reference allowed
constexpr double kMinimumAgreement = 25.0;  // dB between the two decoders' outputs
// On quiet speech the decoders part further: their difference falls by less than the
// signal does.
constexpr double kMinimumQuietAgreement = 18.0;
// dB of segmental SNR our decoder may lose against theirs on their bitstream.
constexpr double kDecoderMargin = 0.25;
// The decoders' load-only state (gain predictor, post-filter gain) differs after earlier use
// in the same process; agreement is measured once that has settled.
constexpr size_t kSettleSamples = 20 * 80;

double Agreement(const std::vector<int16_t>& a, const std::vector<int16_t>& b) {
    return Snr(std::vector<int16_t>(a.begin() + kSettleSamples, a.end()),
               std::vector<int16_t>(b.begin() + kSettleSamples, b.end()));
}

double MinimumAgreement(const std::string& signal) {
    return signal == "quiet" ? kMinimumQuietAgreement : kMinimumAgreement;
}

std::vector<int16_t> LoadSignal(const std::string& name) {
    const std::string path = std::string(CODEC_TEST_SIGNALS) + "/" + name + ".raw";
    std::vector<int16_t> pcm;
    if (std::FILE* f = std::fopen(path.c_str(), "rb")) {
        uint8_t b[2];
        while (std::fread(b, 1, 2, f) == 2) pcm.push_back(static_cast<int16_t>(common::GetLe16(b)));
        std::fclose(f);
    }
    return pcm;
}

// Each signal is coded from the state at load (fresh streams): the process-wide codec keeps
// some state across a reset, so the figures would depend on the order the cases ran in.
class Interop : public ::testing::TestWithParam<const char*> {
protected:
    void SetUp() override {
        pcm = LoadSignal(GetParam());
        ASSERT_GT(pcm.size(), 8000u) << "missing test signal " << GetParam();
        theirBits = ReferenceEncode(pcm);
        ourBits = FreshEncode(pcm);
        theirRoundTrip = SegmentalSnr(pcm, ReferenceDecode(theirBits), kCodecDelay);
    }

    std::vector<int16_t> pcm;
    std::vector<uint8_t> theirBits, ourBits;
    double theirRoundTrip = 0.0;
};

TEST_P(Interop, OurDecoderMatchesTheirsOnTheirBitstream) {
    const double agreement = Agreement(ReferenceDecode(theirBits), FreshDecode(theirBits));
    RecordProperty("agreement_db", std::to_string(agreement));
    std::printf("%s: decoders agree to %.2f dB\n", GetParam(), agreement);
    EXPECT_GT(agreement, MinimumAgreement(GetParam()));
}

TEST_P(Interop, TheirDecoderOnOurBitstreamIsAsGoodAsTheirRoundTrip) {
    ASSERT_EQ(ourBits.size(), theirBits.size());
    const double ours = SegmentalSnr(pcm, ReferenceDecode(ourBits), kCodecDelay);
    std::printf("%s: segmental SNR %.2f dB (their round trip %.2f dB)\n", GetParam(), ours,
                theirRoundTrip);
    EXPECT_GT(ours, theirRoundTrip - kQualityMargin);
}

TEST_P(Interop, OurRoundTripIsAsGoodAsTheirs) {
    const std::vector<int16_t> decoded = FreshDecode(ourBits);
    ASSERT_EQ(decoded.size(), (pcm.size() + 79) / 80 * 80);
    const double ours = SegmentalSnr(pcm, decoded, kCodecDelay);
    std::printf("%s: our round trip %.2f dB (theirs %.2f dB)\n", GetParam(), ours, theirRoundTrip);
    EXPECT_GT(ours, theirRoundTrip - kQualityMargin);
}

TEST_P(Interop, TheirDecoderAgreesWithOursOnOurBitstream) {
    EXPECT_GT(Agreement(ReferenceDecode(ourBits), FreshDecode(ourBits)),
              MinimumAgreement(GetParam()));
}

constexpr const char* kSignals[] = {"male", "female", "quiet", "loud",  "clipped", "sweep",
                                    "loudsweep", "tone", "noise", "noisy"};

INSTANTIATE_TEST_SUITE_P(Signals, Interop, ::testing::ValuesIn(kSignals));

// One line of figures per signal, so that a drop on one kind of signal shows at once and not
// only in the mean. Segmental SNRs: the independent codec alone, its bits through our
// decoder, our bits through its decoder, and our codec alone. Each signal is coded from
// the state at load, as by the g729a tool.
TEST(InteropFigures, OneLinePerSignal) {
    std::printf("%-10s %9s %9s | %8s %8s %8s %8s\n", "signal", "agree", "agree", "theirs",
                "th>ours", "ours>th", "ours");
    std::printf("%-10s %9s %9s | %35s\n", "", "th. bits", "our bits", "segmental SNR, dB");
    double agreementSum = 0.0;
    for (const char* name : kSignals) {
        const std::vector<int16_t> pcm = LoadSignal(name);
        ASSERT_GT(pcm.size(), 8000u) << "missing test signal " << name;
        const std::vector<uint8_t> theirBits = ReferenceEncode(pcm), ourBits = FreshEncode(pcm);
        const std::vector<int16_t> theirsOnTheirs = ReferenceDecode(theirBits),
                                   oursOnTheirs = FreshDecode(theirBits),
                                   theirsOnOurs = ReferenceDecode(ourBits),
                                   oursOnOurs = FreshDecode(ourBits);
        const double agreement = Agreement(theirsOnTheirs, oursOnTheirs);
        const double theirs = SegmentalSnr(pcm, theirsOnTheirs, kCodecDelay),
                     oursOnTheirBits = SegmentalSnr(pcm, oursOnTheirs, kCodecDelay);
        agreementSum += agreement;
        std::printf("%-10s %9.2f %9.2f | %8.2f %8.2f %8.2f %8.2f\n", name, agreement,
                    Agreement(theirsOnOurs, oursOnOurs), theirs, oursOnTheirBits,
                    SegmentalSnr(pcm, theirsOnOurs, kCodecDelay),
                    SegmentalSnr(pcm, oursOnOurs, kCodecDelay));
        EXPECT_GT(oursOnTheirBits, theirs - kDecoderMargin) << name;
    }
    std::printf("mean agreement on their bits %.2f dB\n", agreementSum / std::size(kSignals));
}

TEST(InteropSilence, SilenceStaysSilentThroughEitherDecoder) {
    const std::vector<int16_t> zeros(8000, 0);
    const std::vector<uint8_t> bits = OurEncode(zeros);
    for (const auto& decoded : {OurDecode(bits), ReferenceDecode(bits)})
        for (int16_t s : decoded) ASSERT_LE(std::abs(s), 8);  // below -72 dB of full scale
}

}  // namespace
