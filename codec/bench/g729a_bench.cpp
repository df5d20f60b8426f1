// Encode and decode throughput of this codec against libbcg729 on the same signal, in one
// run, reported as frames per second and as ratios (ours / theirs): hot (frames back to
// back) and cold (the caches evicted before each frame, as between a call's frames).
// Usage: g729a_bench [PCM file: 16-bit little-endian mono 8000 Hz] [--cold_frames=N]
//                    [benchmark flags]
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <vector>

extern "C" {
#include <bcg729/decoder.h>
#include <bcg729/encoder.h>
}

#include "codec/codec.h"
#include "codec/frame_encoder.h"
#include "codec/speech_decoder.h"
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
size_t NextFrame(size_t f) { return f + 1 == FrameCount() ? 0 : f + 1; }

// One codec side over the signal, a frame per step, from its initial state.
// kFramesPerCall: the frames one audio callback codes in a call, a 10 ms capture buffer
// encoded, a 30 ms playback block decoded.
struct OursEncode {
    static constexpr int kFramesPerCall = 1;
    OursEncode() { InitEncoder(); }
    void Run(size_t f) {
        uint8_t frame[kBytesPerFrame];
        EncodeFrame(&pcm[f * kSamplesPerFrame], frame);
        benchmark::DoNotOptimize(frame);
    }
};

struct TheirsEncode {
    static constexpr int kFramesPerCall = 1;
    bcg729EncoderChannelContextStruct* context = initBcg729EncoderChannel(0);
    ~TheirsEncode() { closeBcg729EncoderChannel(context); }
    void Run(size_t f) {
        uint8_t frame[kBytesPerFrame], length = 0;
        bcg729Encoder(context, &pcm[f * kSamplesPerFrame], frame, &length);
        benchmark::DoNotOptimize(frame);
    }
};

struct OursDecode {
    static constexpr int kFramesPerCall = 3;
    OursDecode() { InitDecoder(); }
    void Run(size_t f) {
        int16_t samples[kSamplesPerFrame];
        DecodeFrame(&theirFrames[f * kBytesPerFrame], samples, 0);
        benchmark::DoNotOptimize(samples);
    }
};

// Streams of their own beside the process-wide encoder and decoder: they run the same
// code on the same tables, and keep their state apart.
struct OursEncodeStream {
    g729a::FrameEncoder encoder;
    void Run(size_t f) {
        uint8_t frame[kBytesPerFrame];
        encoder.Encode(&pcm[f * kSamplesPerFrame], frame);
        benchmark::DoNotOptimize(frame);
    }
};

struct OursDecodeStream {
    SpeechDecoder decoder;
    void Run(size_t f) {
        int16_t samples[kSamplesPerFrame];
        decoder.Decode(&theirFrames[f * kBytesPerFrame], samples);
        benchmark::DoNotOptimize(samples);
    }
};

struct TheirsDecode {
    static constexpr int kFramesPerCall = 3;
    bcg729DecoderChannelContextStruct* context = initBcg729DecoderChannel();
    ~TheirsDecode() { closeBcg729DecoderChannel(context); }
    void Run(size_t f) {
        int16_t samples[kSamplesPerFrame];
        bcg729Decoder(context, &theirFrames[f * kBytesPerFrame], kBytesPerFrame, 0, 0, 0, samples);
        benchmark::DoNotOptimize(samples);
    }
};

// Frames back to back: tables, state and code stay in the caches.
template <typename Side>
void Hot(benchmark::State& state) {
    Side side;
    size_t f = 0;
    for (auto _ : state) {
        side.Run(f);
        if (++f == FrameCount()) f = 0;
    }
    state.SetItemsProcessed(state.iterations());
}

// As in a call, where the codec runs once per audio callback (every 10 ms to encode, every
// 30 ms to decode a block of three frames) and other work fills the caches in between:
// before each callback's frames, writes to a buffer twice the size of the largest cache
// here evict the codec's tables, state and code. Only the frames themselves are timed,
// and reported per frame.
// The "pages" runs write one byte per 4 KB page instead: every address translation is
// evicted and about 1 MiB of lines from the inner caches, but the last-level cache keeps
// the codec's lines. Against the full eviction this parts page walks from memory fetches.
// The "own state" runs have a second stream code the same frames after the eviction and
// before the timed ones: code, tables and stack are warm again, only the timed stream's
// state is cold. Against the full eviction this parts the stream's state from the rest.
std::vector<uint8_t> evictionBuffer(64u << 20);
constexpr size_t kCacheLine = 64, kPage = 4096;

void Evict(size_t stride) {
    for (size_t i = 0; i < evictionBuffer.size(); i += stride) ++evictionBuffer[i];
    benchmark::ClobberMemory();
}

struct NoWarmer {
    void Run(size_t) {}
};

template <typename Side, size_t kStride, typename Warmer = NoWarmer>
void Cold(benchmark::State& state) {
    Side side;
    Warmer warmer;
    size_t f = 0;
    std::vector<double> seconds;
    seconds.reserve(static_cast<size_t>(state.max_iterations));
    for (auto _ : state) {
        Evict(kStride);
        size_t w = f;
        for (int k = 0; k < Side::kFramesPerCall; ++k, w = NextFrame(w)) warmer.Run(w);
        const auto start = std::chrono::steady_clock::now();
        for (int k = 0; k < Side::kFramesPerCall; ++k, f = NextFrame(f)) side.Run(f);
        seconds.push_back(
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
        state.SetIterationTime(seconds.back());
        seconds.back() /= Side::kFramesPerCall;
    }
    state.SetItemsProcessed(state.iterations() * Side::kFramesPerCall);
    // The mean takes every frame that another process delayed; the median hardly any.
    std::nth_element(seconds.begin(), seconds.begin() + seconds.size() / 2, seconds.end());
    state.counters["median_us"] = seconds[seconds.size() / 2] * 1e6;
}

BENCHMARK_TEMPLATE(Hot, OursEncode)->Name("OursEncode");
BENCHMARK_TEMPLATE(Hot, TheirsEncode)->Name("TheirsEncode");
BENCHMARK_TEMPLATE(Hot, OursDecode)->Name("OursDecode");
BENCHMARK_TEMPLATE(Hot, TheirsDecode)->Name("TheirsDecode");

// Each eviction costs a few milliseconds, so cold runs take a fixed count of callbacks
// (--cold_frames=N, 2000 unless given; fewer under a cache simulator).
void RegisterColdRuns(int frames) {
    const auto add = [frames](const char* name, auto run) {
        benchmark::RegisterBenchmark(name, run)->UseManualTime()->Iterations(frames);
    };
    add("OursEncodeCold", Cold<OursEncode, kCacheLine>);
    add("TheirsEncodeCold", Cold<TheirsEncode, kCacheLine>);
    add("OursDecodeCold", Cold<OursDecode, kCacheLine>);
    add("TheirsDecodeCold", Cold<TheirsDecode, kCacheLine>);
    add("OursEncodeColdPages", Cold<OursEncode, kPage>);
    add("TheirsEncodeColdPages", Cold<TheirsEncode, kPage>);
    add("OursDecodeColdPages", Cold<OursDecode, kPage>);
    add("TheirsDecodeColdPages", Cold<TheirsDecode, kPage>);
    add("OursEncodeColdOwnState", Cold<OursEncode, kCacheLine, OursEncodeStream>);
    add("TheirsEncodeColdOwnState", Cold<TheirsEncode, kCacheLine, TheirsEncode>);
    add("OursDecodeColdOwnState", Cold<OursDecode, kCacheLine, OursDecodeStream>);
    add("TheirsDecodeColdOwnState", Cold<TheirsDecode, kCacheLine, TheirsDecode>);
}

// Takes --cold_frames=N out of the arguments.
int ColdFrames(int& argc, char** argv) {
    constexpr const char kFlag[] = "--cold_frames=";
    int frames = 2000;
    int kept = 1;
    for (int i = 1; i < argc; ++i) {
        if (std::strncmp(argv[i], kFlag, sizeof kFlag - 1) == 0)
            frames = std::max(1, std::atoi(argv[i] + sizeof kFlag - 1));
        else
            argv[kept++] = argv[i];
    }
    argc = kept;
    return frames;
}

// Keeps the console output and remembers frames per second per benchmark.
class RateReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            const auto it = run.counters.find("items_per_second");
            if (it != run.counters.end()) rates[run.run_name.function_name] = it->second.value;
            const auto median = run.counters.find("median_us");
            if (median != run.counters.end())
                medians[run.run_name.function_name] = median->second.value;
        }
    }
    std::map<std::string, double> rates;
    std::map<std::string, double> medians;  // cold runs: microseconds per frame
};

const char* KindLabel(const std::string& kind) {
    if (kind == "ColdPages") return "pages-only cold";
    if (kind == "ColdOwnState") return "own-state cold";
    return "cold";
}

}  // namespace

int main(int argc, char** argv) {
    RegisterColdRuns(ColdFrames(argc, argv));
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
    const auto ratio = [&r](const char* label, const std::string& ours, const std::string& theirs) {
        if (r.count(ours) && r.count(theirs))
            std::printf("%s: %.0f vs %.0f frames/s, ratio %.2f\n", label, r[ours], r[theirs],
                        r[ours] / r[theirs]);
    };
    ratio("encode", "OursEncode", "TheirsEncode");
    ratio("decode", "OursDecode", "TheirsDecode");
    ratio("cold encode", "OursEncodeCold", "TheirsEncodeCold");
    ratio("cold decode", "OursDecodeCold", "TheirsDecodeCold");
    // Cost of a cold frame in hot frames (hot rate / cold rate), also by the cold median.
    for (const std::string side : {"OursEncode", "OursDecode", "TheirsEncode", "TheirsDecode"}) {
        for (const std::string kind : {"Cold", "ColdPages", "ColdOwnState"}) {
            const std::string cold = side + kind;
            if (r.count(side) && r.count(cold))
                std::printf("%s %s/hot: %.2f (median cold frame %.1f us: %.2f)\n", side.c_str(),
                            KindLabel(kind), r[side] / r[cold],
                            reporter.medians[cold], reporter.medians[cold] * 1e-6 * r[side]);
        }
    }
    benchmark::Shutdown();
    return 0;
}
