#include "audio/buffer_monitor.h"

#include <cstring>
#include <new>

CBufferMonitor::CBufferMonitor(uint32_t arenaSize)
    : arena_(new (std::nothrow) uint8_t[arenaSize]()), arenaSize_(arenaSize) {}

CBufferMonitor::~CBufferMonitor() {
    std::lock_guard guard(lock_);
    typeCounts_.fill(0);
    blocks_.clear();
}

uint8_t* CBufferMonitor::PushFrame(const uint8_t* data, uint32_t length, uint32_t timeStamp) {
    uint8_t* block = AllocBlock(uint64_t(kFrameBlockHeaderSize) + length);
    if (!block) return nullptr;
    WriteFrameBlockHeader(block, kFrameBlockTypeAudio, length, timeStamp);
    if (length) std::memcpy(block + kFrameBlockHeaderSize, data, length);
    return Append(block) ? block : nullptr;
}

int CBufferMonitor::PutFrame(int /*unused*/, const uint8_t* block) {
    if (!block) return -1;
    const uint64_t size = kFrameBlockHeaderSize + uint64_t(ReadFrameBlockHeader(block).length);
    if (uint8_t* copy = AllocBlock(size)) {
        std::memcpy(copy, block, size_t(size));
        Append(copy);
    }
    return -1;
}

QueueReader* CBufferMonitor::OpenReader() {
    std::lock_guard guard(lock_);
    QueueReader* reader = TakeReaderLocked();
    if (reader) reader->cursor = blocks_.size() < 2 ? 0 : blocks_.size() - 2;
    return reader;
}

QueueReader* CBufferMonitor::OpenReaderAtOldest() {
    std::lock_guard guard(lock_);
    return TakeReaderLocked();
}

QueueReader* CBufferMonitor::TakeReaderLocked() {
    for (QueueReader& reader : readers_) {
        if (reader.inUse) continue;
        reader.inUse = true;
        reader.cursor = 0;
        return &reader;
    }
    return nullptr;
}

const uint8_t* CBufferMonitor::ReadNext(QueueReader* reader) {
    if (!reader) return nullptr;
    std::lock_guard guard(lock_);
    const size_t n = blocks_.size();
    size_t& cursor = reader->cursor;
    if (n == 0 || cursor == n) return nullptr;
    if (cursor > n) {
        cursor = n;  // the queue was cleared under this reader
        return nullptr;
    }
    if (n - cursor > size_t(maxReaderLag_)) cursor = n - 1;  // too far behind: skip to the newest
    return blocks_[cursor++];
}

void CBufferMonitor::CloseReader(QueueReader* reader) {
    if (!reader) return;
    std::lock_guard guard(lock_);
    reader->inUse = false;
    reader->cursor = 0;
}

void CBufferMonitor::ClearQueue() {
    std::lock_guard guard(lock_);
    typeCounts_.fill(0);
    blocks_.clear();
}

void CBufferMonitor::SetMaxReaderLag(int32_t lag) {
    std::lock_guard guard(lock_);
    maxReaderLag_ = lag < 0 ? 0 : lag;
}

void CBufferMonitor::SetOversizeWarning(std::function<void()> warn) { oversizeWarning_ = std::move(warn); }

int32_t CBufferMonitor::TypeCount(int slot) const {
    std::lock_guard guard(lock_);
    return slot >= 0 && slot < kTypeSlots ? typeCounts_[size_t(slot)] : 0;
}

size_t CBufferMonitor::BlockCount() const {
    std::lock_guard guard(lock_);
    return blocks_.size();
}

uint8_t* CBufferMonitor::AllocBlock(uint64_t size) {
    if (!arena_) return nullptr;
    for (;;) {
        bool emptyQueue = false;
        {
            std::lock_guard guard(lock_);
            if (uint8_t* room = FindRoomLocked(size)) return room;
            emptyQueue = blocks_.empty();
        }
        if (emptyQueue) {
            // Only a block larger than the whole arena finds no room in an empty queue.
            if (oversizeWarning_) oversizeWarning_();
            return nullptr;
        }
        if (EvictOldest(size) < size) return nullptr;
    }
}

uint8_t* CBufferMonitor::FindRoomLocked(uint64_t size) const {
    uint8_t* const start = arena_.get();
    uint8_t* const arenaEnd = start + arenaSize_;
    if (blocks_.empty()) return size <= arenaSize_ ? start : nullptr;

    uint8_t* const oldest = blocks_.front();
    uint8_t* const end = blocks_.back() + FrameBlockSize(blocks_.back());
    if (oldest < end) {  // used region is contiguous: room after it, or wrap to the start
        if (uint64_t(arenaEnd - end) >= size) return end;
        return uint64_t(oldest - start) >= size ? start : nullptr;
    }
    return uint64_t(oldest - end) >= size ? end : nullptr;  // used region wraps
}

uint64_t CBufferMonitor::EvictOldest(uint64_t size) {
    size_t count = 0;
    uint64_t freed = 0;
    {
        std::lock_guard guard(lock_);
        for (size_t i = 0; i < blocks_.size() && freed < size; ++i, ++count)
            freed += FrameBlockSize(blocks_[i]);
    }
    for (size_t i = 0; i < count; ++i) {
        std::lock_guard guard(lock_);
        if (blocks_.empty()) break;
        --typeCounts_[size_t(TypeSlot(blocks_.front()[7]))];
        blocks_.pop_front();
        for (QueueReader& reader : readers_)
            if (reader.inUse && reader.cursor > 0) --reader.cursor;  // stay on the same block
    }
    return freed;
}

bool CBufferMonitor::Append(uint8_t* block) {
    std::lock_guard guard(lock_);
    try {
        blocks_.push_back(block);
    } catch (const std::bad_alloc&) {
        return false;
    }
    ++typeCounts_[size_t(TypeSlot(block[7]))];
    return true;
}

int CBufferMonitor::TypeSlot(uint8_t type) const {
    for (size_t i = 0; i < kTypeTable.size(); ++i)
        if (kTypeTable[i] == type) return int(i);
    return kTypeSlots - 1;
}
