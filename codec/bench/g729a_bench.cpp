// Encode and decode throughput of this codec against libbcg729 on the same signal, in one
// run, reported as frames per second and as ratios (ours / theirs).
// Usage: g729a_bench [PCM file: 16-bit little-endian mono 8000 Hz] [benchmark flags]
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

extern "C" {
#include <bcg729/decoder.h>
#include <bcg729/encoder.h>
}

#include "codec/codec.h"
#include "common/byte_order.h"

namespace {

std::vector<int16_t> pcm;
std::vector<uint8_t> ourFrames, theirFrames;

// A voiced-like test signal: a gliding harmonic series with a little noise.
std::vector<int16_t> SyntheticSpeech(int frames) {
    std::vector<int16_t> out(static_cast<size_t>(frames) * kSamplesPerFrame);
    double phase = 0.0;
    uint32_t noise = 12345;
    for (size_t n = 0; n < out.size(); ++n) {
        const double t = n / 8000.0;
        const double f0 = 120.0 + 40.0 * std::sin(2.0 * M_PI * 0.7 * t);
        phase += 2.0 * M_PI * f0 / 8000.0;
        double v = 0.0;
        for (int k = 1; k <= 12; ++k) v += std::sin(k * phase) / k;
        noise = noise * 1664525u + 1013904223u;
        const double envelope = 0.5 + 0.5 * std::sin(2.0 * M_PI * 2.0 * t);
        out[n] = static_cast<int16_t>(4000.0 * envelope * v + ((noise >> 16) % 400) - 200);
    }
    return out;
}

bool LoadPcm(const char* path) {
    std::FILE* f = std::fopen(path, "rb");
    if (f == nullptr) return false;
    uint8_t b[2];
    while (std::fread(b, 1, 2, f) == 2) pcm.push_back(static_cast<int16_t>(common::GetLe16(b)));
    std::fclose(f);
    pcm.resize(pcm.size() / kSamplesPerFrame * kSamplesPerFrame);
    return !pcm.empty();
}

size_t FrameCount() { return pcm.size() / kSamplesPerFrame; }

void OursEncode(benchmark::State& state) {
    uint8_t frame[kBytesPerFrame];
    size_t f = 0;
    InitEncoder();
    for (auto _ : state) {
        EncodeFrame(&pcm[f * kSamplesPerFrame], frame);
        benchmark::DoNotOptimize(frame);
        if (++f == FrameCount()) f = 0;
    }
    state.SetItemsProcessed(state.iterations());
}

void TheirsEncode(benchmark::State& state) {
    auto* ctx = initBcg729EncoderChannel(0);
    uint8_t frame[kBytesPerFrame], length = 0;
    size_t f = 0;
    for (auto _ : state) {
        bcg729Encoder(ctx, &pcm[f * kSamplesPerFrame], frame, &length);
        benchmark::DoNotOptimize(frame);
        if (++f == FrameCount()) f = 0;
    }
    closeBcg729EncoderChannel(ctx);
    state.SetItemsProcessed(state.iterations());
}

void OursDecode(benchmark::State& state) {
    int16_t samples[kSamplesPerFrame];
    size_t f = 0;
    InitDecoder();
    for (auto _ : state) {
        DecodeFrame(&theirFrames[f * kBytesPerFrame], samples, 0);
        benchmark::DoNotOptimize(samples);
        if (++f == FrameCount()) f = 0;
    }
    state.SetItemsProcessed(state.iterations());
}

void TheirsDecode(benchmark::State& state) {
    auto* ctx = initBcg729DecoderChannel();
    int16_t samples[kSamplesPerFrame];
    size_t f = 0;
    for (auto _ : state) {
        bcg729Decoder(ctx, &theirFrames[f * kBytesPerFrame], kBytesPerFrame, 0, 0, 0, samples);
        benchmark::DoNotOptimize(samples);
        if (++f == FrameCount()) f = 0;
    }
    closeBcg729DecoderChannel(ctx);
    state.SetItemsProcessed(state.iterations());
}

BENCHMARK(OursEncode);
BENCHMARK(TheirsEncode);
BENCHMARK(OursDecode);
BENCHMARK(TheirsDecode);

// Keeps the console output and remembers frames per second per benchmark.
class RateReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            const auto it = run.counters.find("items_per_second");
            if (it != run.counters.end()) rates[run.benchmark_name()] = it->second.value;
        }
    }
    std::map<std::string, double> rates;
};

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (argc > 1 && !LoadPcm(argv[1])) {
        std::fprintf(stderr, "cannot read PCM from %s\n", argv[1]);
        return 1;
    }
    if (pcm.empty()) pcm = SyntheticSpeech(1000);
    // Decoders run on the independent encoder's bitstream.
    auto* ctx = initBcg729EncoderChannel(0);
    theirFrames.resize(FrameCount() * kBytesPerFrame);
    for (size_t f = 0; f < FrameCount(); ++f) {
        uint8_t length = 0;
        bcg729Encoder(ctx, &pcm[f * kSamplesPerFrame], &theirFrames[f * kBytesPerFrame], &length);
    }
    closeBcg729EncoderChannel(ctx);

    RateReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    auto& r = reporter.rates;
    if (r.count("TheirsEncode") && r.count("OursEncode"))
        std::printf("encode: %.0f vs %.0f frames/s, ratio %.2f\n", r["OursEncode"],
                    r["TheirsEncode"], r["OursEncode"] / r["TheirsEncode"]);
    if (r.count("TheirsDecode") && r.count("OursDecode"))
        std::printf("decode: %.0f vs %.0f frames/s, ratio %.2f\n", r["OursDecode"],
                    r["TheirsDecode"], r["OursDecode"] / r["TheirsDecode"]);
    benchmark::Shutdown();
    return 0;
}
