#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <mutex>
#include <optional>

#include "talk/rtp/source_stream.h"

namespace rtp {

// Per source, what became of its frames at the receiver.
struct StreamCounts {
    uint32_t concealed = 0;   // lost frames whose places were played by concealment (or silence)
    uint32_t duplicates = 0;  // repeats dropped
    uint32_t late = 0;        // frames dropped because their places had been played
};

// The sources being played, one SourceStream each, in 16 fixed slots. The host
// thread hands in frames and goodbyes, the playback takes what is due every
// 30 ms; one lock keeps them apart. A source takes the first free slot with its
// first frame and keeps it until it says goodbye or has sent nothing for
// kDepartureBlocks playback blocks; with every slot taken a new source is not heard.
class ReceiveStreams {
public:
    static constexpr size_t kSlots = 16;
    static constexpr int kDepartureBlocks = 100;  // 3 s

    // One group due from one source. `generation` changes whenever the slot
    // passes to another source, whose decoder must then start afresh.
    struct DueGroup {
        size_t slot = 0;
        uint32_t generation = 0;
        FrameGroup group;
    };
    using DueGroups = std::array<DueGroup, kSlots>;

    void Take(uint32_t ssrc, uint16_t sequence, const VoiceFrame& frame);
    void Depart(uint32_t ssrc);
    // Every source leaves (a talk begins or ends).
    void Clear();

    // The playback's turn: the group due from each source that has one, in
    // slot order; returns how many were written to `due`. Sources quiet for
    // too long leave here.
    size_t TakeDue(DueGroups& due);

    // Counts of a source being played, or of one of the last to have left.
    std::optional<StreamCounts> Counts(uint32_t ssrc) const;
    size_t SourceCount() const;

private:
    struct Slot {
        bool used = false;
        uint32_t ssrc = 0;
        uint32_t generation = 0;
        bool heard = false;   // a frame came since the last playback turn
        int quietBlocks = 0;  // playback turns without one
        SourceStream stream;
        StreamCounts counts;
    };
    struct Departed {
        uint32_t ssrc;
        StreamCounts counts;
    };
    const Slot* FindLocked(uint32_t ssrc) const;
    Slot* FindLocked(uint32_t ssrc);
    Slot* OpenLocked(uint32_t ssrc);
    void LeaveLocked(Slot& slot);

    mutable std::mutex lock_;
    std::array<Slot, kSlots> slots_{};
    uint32_t generations_ = 0;
    std::deque<Departed> departed_;  // the last kSlots to leave
};

}  // namespace rtp
