#include "talk/rtp/receive_streams.h"

#include <utility>

namespace rtp {

const ReceiveStreams::Slot* ReceiveStreams::FindLocked(uint32_t ssrc) const {
    for (const Slot& s : slots_) {
        if (s.used && s.ssrc == ssrc) return &s;
    }
    return nullptr;
}

ReceiveStreams::Slot* ReceiveStreams::FindLocked(uint32_t ssrc) {
    return const_cast<Slot*>(std::as_const(*this).FindLocked(ssrc));
}

ReceiveStreams::Slot* ReceiveStreams::OpenLocked(uint32_t ssrc) {
    for (Slot& s : slots_) {
        if (s.used) continue;
        s = Slot{};
        s.used = true;
        s.ssrc = ssrc;
        s.generation = ++generations_;
        return &s;
    }
    return nullptr;
}

void ReceiveStreams::LeaveLocked(Slot& slot) {
    departed_.push_back({slot.ssrc, slot.counts});
    if (departed_.size() > kSlots) departed_.pop_front();
    slot.used = false;
}

void ReceiveStreams::Take(uint32_t ssrc, uint16_t sequence, const VoiceFrame& frame) {
    std::lock_guard guard(lock_);
    Slot* slot = FindLocked(ssrc);
    if (!slot) slot = OpenLocked(ssrc);
    if (!slot) return;
    slot->heard = true;
    switch (slot->stream.Take(sequence, frame)) {
    case SourceStream::Arrival::Taken: return;
    case SourceStream::Arrival::Duplicate: ++slot->counts.duplicates; return;
    case SourceStream::Arrival::Late: ++slot->counts.late; return;
    }
}

void ReceiveStreams::Depart(uint32_t ssrc) {
    std::lock_guard guard(lock_);
    if (Slot* slot = FindLocked(ssrc)) LeaveLocked(*slot);
}

void ReceiveStreams::Clear() {
    std::lock_guard guard(lock_);
    for (Slot& s : slots_) s.used = false;
    departed_.clear();
}

size_t ReceiveStreams::TakeDue(DueGroups& due) {
    std::lock_guard guard(lock_);
    size_t n = 0;
    for (size_t i = 0; i < kSlots; ++i) {
        Slot& s = slots_[i];
        if (!s.used) continue;
        s.quietBlocks = s.heard ? 0 : s.quietBlocks + 1;
        s.heard = false;
        if (s.quietBlocks >= kDepartureBlocks) {
            LeaveLocked(s);
            continue;
        }
        std::optional<FrameGroup> group = s.stream.NextGroup();
        if (!group) continue;
        s.counts.concealed += uint32_t(group->Lost());
        due[n++] = {i, s.generation, *group};
    }
    return n;
}

std::optional<StreamCounts> ReceiveStreams::Counts(uint32_t ssrc) const {
    std::lock_guard guard(lock_);
    if (const Slot* slot = FindLocked(ssrc)) return slot->counts;
    for (auto d = departed_.rbegin(); d != departed_.rend(); ++d) {
        if (d->ssrc == ssrc) return d->counts;
    }
    return std::nullopt;
}

size_t ReceiveStreams::SourceCount() const {
    std::lock_guard guard(lock_);
    size_t n = 0;
    for (const Slot& s : slots_) n += s.used ? 1 : 0;
    return n;
}

}  // namespace rtp
