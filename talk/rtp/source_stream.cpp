#include "talk/rtp/source_stream.h"

#include <algorithm>

namespace rtp {
namespace {

constexpr int kArrivalMemory = 64;  // places below the highest whose arrival is remembered

}  // namespace

void SourceStream::Start(uint16_t sequence, const VoiceFrame& frame) {
    started_ = true;
    highestSequence_ = sequence;
    next_ = 0;
    end_ = 1;
    arrivedBelowEnd_ = 1;
    At(0) = {true, frame};
}

SourceStream::Arrival SourceStream::Take(uint16_t sequence, const VoiceFrame& frame) {
    if (!started_) {
        Start(sequence, frame);
        return Arrival::Taken;
    }
    const int16_t ahead = int16_t(uint16_t(sequence - highestSequence_));
    const int64_t position = end_ - 1 + ahead;
    if (ahead > 0) {
        ExtendTo(position);
        highestSequence_ = sequence;
    } else {
        const int behind = -ahead;
        if (behind < kArrivalMemory && (arrivedBelowEnd_ >> behind & 1)) return Arrival::Duplicate;
        if (position < next_) return Arrival::Late;
        arrivedBelowEnd_ |= uint64_t(1) << behind;  // within the window, so well inside the memory
    }
    At(position) = {true, frame};
    return Arrival::Taken;
}

// A frame beyond the highest: the places between are empty until their frames
// come, and places that fall out of the window are left unplayed.
void SourceStream::ExtendTo(int64_t position) {
    const int64_t newEnd = position + 1;
    const int64_t shift = newEnd - end_;
    arrivedBelowEnd_ = shift >= kArrivalMemory ? 1 : (arrivedBelowEnd_ << shift | 1);
    for (int64_t p = std::max(end_, newEnd - kWindowFrames); p < newEnd; ++p) At(p).received = false;
    end_ = newEnd;
    const int64_t over = end_ - next_ - kWindowFrames;
    if (over > 0)
        SkipTo(next_ + (over + kFramesPerPlaybackBlock - 1) / kFramesPerPlaybackBlock * kFramesPerPlaybackBlock);
}

void SourceStream::SkipTo(int64_t groupStart) {
    next_ = groupStart;
    skipped_ = true;
}

std::optional<FrameGroup> SourceStream::NextGroup() {
    if (!started_) return std::nullopt;
    const int64_t due = (end_ - next_) / kFramesPerPlaybackBlock;
    if (due == 0) return std::nullopt;
    if (due > kReaderLag) SkipTo(next_ + (due - 1) * kFramesPerPlaybackBlock);
    return PlayGroup();
}

FrameGroup SourceStream::PlayGroup() {
    // Concealing across places that were never played would bring back sound from before them.
    if (skipped_) lostRun_ = std::max(lostRun_, kMaxConcealedFrames);
    skipped_ = false;
    FrameGroup group;
    bool stamped = false;
    for (int f = 0; f < kFramesPerPlaybackBlock; ++f) {
        const Place& place = At(next_ + f);
        if (!place.received) {
            ++lostRun_;
            group.play[size_t(f)] = lostRun_ > kMaxConcealedFrames ? FramePlay::Silent : FramePlay::Concealed;
            continue;
        }
        lostRun_ = 0;
        group.play[size_t(f)] = FramePlay::Received;
        std::copy(place.frame.bytes.begin(), place.frame.bytes.end(), group.data.begin() + f * kFrameBytes);
        if (!stamped) group.timeStamp = place.frame.timeStamp;
        stamped = true;
    }
    next_ += kFramesPerPlaybackBlock;
    return group;
}

}  // namespace rtp
