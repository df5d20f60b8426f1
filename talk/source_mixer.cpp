#include "talk/source_mixer.h"

#include <algorithm>

#include "codec/codec.h"

void SourceMixer::Decode(SpeechDecoder& decoder, const rtp::FrameGroup& group, Block& out) {
    for (size_t f = 0; f < group.play.size(); ++f) {
        int16_t* samples = out.data() + f * kSamplesPerFrame;
        switch (group.play[f]) {
        case rtp::FramePlay::Received: decoder.Decode(group.data.data() + f * rtp::kFrameBytes, samples); break;
        case rtp::FramePlay::Concealed: decoder.Conceal(samples); break;
        case rtp::FramePlay::Silent:
            // The decoder goes on through the gap, so that what follows it starts from a quiet state.
            decoder.Conceal(samples);
            std::fill_n(samples, kSamplesPerFrame, int16_t(0));
            break;
        }
    }
}

bool SourceMixer::Fill(std::span<int16_t, kSamples> samples) {
    const size_t due = streams_.TakeDue(due_);
    if (due == 0) return false;
    std::array<int32_t, kSamples> sum{};
    Block block;
    for (size_t i = 0; i < due; ++i) {
        Voice& voice = voices_[due_[i].slot];
        if (voice.generation != due_[i].generation) voice = Voice{due_[i].generation, SpeechDecoder{}};
        Decode(voice.decoder, due_[i].group, block);
        for (size_t s = 0; s < kSamples; ++s) sum[s] += block[s];
    }
    for (size_t s = 0; s < kSamples; ++s) samples[s] = int16_t(std::clamp(sum[s], -32768, 32767));
    return true;
}
