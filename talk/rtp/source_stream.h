#pragma once
#include <array>
#include <cstdint>
#include <optional>

#include "talk/rtp/playback_assembly.h"

namespace rtp {

// The received voice of one source, put back in sequence order and handed to
// playback a group of three places at a time.
//
// A frame takes the place its sequence number gives it, counted from the
// source's first frame, and waits there until playback reaches it; a repeat
// of a frame, or a frame whose place has been played, is refused. A group is
// due once the source has sent a frame for its last place or beyond, so that
// frames arriving in order are played as soon as three are in, and the places
// of lost frames are played by concealment when a later frame shows they are
// missing. Playback that falls more than kReaderLag groups behind skips to the
// newest due group. A gap that outlasts kMaxConcealedFrames, or that playback
// skipped, plays as silence until the source's frames come again.
class SourceStream {
public:
    static constexpr int kReaderLag = 4;  // groups
    static constexpr int kWindowFrames = 8 * kFramesPerPlaybackBlock;  // places kept from the next one to play
    static constexpr int kMaxConcealedFrames = 6;

    enum class Arrival { Taken, Duplicate, Late };

    Arrival Take(uint16_t sequence, const VoiceFrame& frame);
    // The next group due for playback, if any.
    std::optional<FrameGroup> NextGroup();

private:
    struct Place {
        bool received = false;
        VoiceFrame frame;
    };
    Place& At(int64_t position) { return places_[size_t(position % kWindowFrames)]; }
    void Start(uint16_t sequence, const VoiceFrame& frame);
    void ExtendTo(int64_t position);
    void SkipTo(int64_t groupStart);
    FrameGroup PlayGroup();

    bool started_ = false;
    uint16_t highestSequence_ = 0;
    int64_t end_ = 0;             // one past the highest place a frame arrived for
    int64_t next_ = 0;            // first place of the next group to play
    uint64_t arrivedBelowEnd_ = 0;  // bit i: a frame arrived for place end_ - 1 - i
    bool skipped_ = false;        // places went unplayed since the last group
    int lostRun_ = 0;             // places played without their frame, in a row
    std::array<Place, kWindowFrames> places_{};
};

}  // namespace rtp
