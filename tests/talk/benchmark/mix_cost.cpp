// What hearing many sources costs the receive path and the playback: for 1 and
// for 15 sources, 100 s of talk (frames put in their streams, then every 30 ms
// the mix of all due groups), timed; and the same sources' decoding alone, so
// that the streams and the summing show apart from the codec. Reported as a
// share of one core in processor time; a benchmark: the figures still vary
// with what else runs on the machine.
//   talk_mix_bench [SECONDS]
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <vector>

#include "talk/source_mixer.h"
#include "tests/talk/voice_frames.h"

namespace {

constexpr int kGroupsPerSecond = 1000 / 30;

// Best of three runs, in seconds of the process's processor time (not of the wall
// clock, which on a loaded machine counts the time others ran).
template <typename Run>
double BestOfThree(Run run) {
    double best = 1e9;
    for (int i = 0; i < 3; ++i) {
        const std::clock_t start = std::clock();
        run();
        best = std::min(best, double(std::clock() - start) / CLOCKS_PER_SEC);
    }
    return best;
}

double MixCost(int sources, int seconds, const std::vector<talktest::Frame>& frames) {
    return BestOfThree([&] {
               rtp::ReceiveStreams streams;
               SourceMixer mixer(streams);
               std::array<int16_t, PlaybackFeed::kSamples> out{};
               uint16_t sequence = 0;
               for (int g = 0; g < seconds * kGroupsPerSecond; ++g) {
                   for (int f = 0; f < 3; ++f, ++sequence) {
                       rtp::VoiceFrame frame{0, frames[sequence % frames.size()]};
                       for (int s = 0; s < sources; ++s) streams.Take(uint32_t(s + 1), sequence, frame);
                   }
                   mixer.Fill(out);
               }
           }) / seconds;
}

double DecodeCost(int sources, int seconds, const std::vector<talktest::Frame>& frames) {
    return BestOfThree([&] {
               std::vector<SpeechDecoder> decoders(static_cast<size_t>(sources));
               int16_t out[80];
               for (int n = 0; n < seconds * kGroupsPerSecond * 3; ++n)
                   for (SpeechDecoder& d : decoders) d.Decode(frames[size_t(n) % frames.size()].data(), out);
           }) / seconds;
}

}  // namespace

int main(int argc, char** argv) {
    const int seconds = argc > 1 ? std::atoi(argv[1]) : 100;
    const auto frames = talktest::SpeechFrames(3000, 9000);
    std::printf("per second of talk, in %% of one core (best of three runs of %d s)\n", seconds);
    std::printf("%8s %14s %14s %20s\n", "sources", "receive+mix", "decoding", "streams+summing");
    double mixOne = 0, decodeOne = 0;
    for (int sources : {1, 15}) {
        const double mix = MixCost(sources, seconds, frames), decode = DecodeCost(sources, seconds, frames);
        if (sources == 1) mixOne = mix, decodeOne = decode;
        std::printf("%8d %13.3f%% %13.3f%% %19.3f%%\n", sources, 100 * mix, 100 * decode, 100 * (mix - decode));
        if (sources == 15)
            std::printf("15 sources against 1: +%.3f %% of a core, of which decoding +%.3f %%, streams and summing +%.3f %%\n",
                        100 * (mix - mixOne), 100 * (decode - decodeOne), 100 * ((mix - decode) - (mixOne - decodeOne)));
    }
    return 0;
}
