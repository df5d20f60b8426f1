#pragma once
#include <array>
#include <cstdint>

#include "audio/playback_feed.h"
#include "codec/speech_decoder.h"
#include "talk/rtp/receive_streams.h"

// The talk's playback: every 30 ms the group due from each source is decoded
// by that source's own decoder and the sources are summed, saturating at the
// 16-bit limits. A source with nothing due adds nothing. Runs on the playback
// callback only; the decoders are its own.
class SourceMixer final : public PlaybackFeed {
public:
    explicit SourceMixer(rtp::ReceiveStreams& streams) : streams_(streams) {}

    bool Fill(std::span<int16_t, kSamples> samples) override;

private:
    struct Voice {
        uint32_t generation = 0;  // of the slot's source this decoder follows
        SpeechDecoder decoder;
    };
    using Block = std::array<int16_t, kSamples>;
    static void Decode(SpeechDecoder& decoder, const rtp::FrameGroup& group, Block& out);

    rtp::ReceiveStreams& streams_;
    rtp::ReceiveStreams::DueGroups due_{};
    std::array<Voice, rtp::ReceiveStreams::kSlots> voices_{};
};
