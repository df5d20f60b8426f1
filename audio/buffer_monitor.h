#pragma once
#include <array>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>

#include "audio/frame_block.h"

// Receiver of whole frame blocks.
class CFrameHandler {
public:
    virtual int PutFrame(int unused, const uint8_t* block) = 0;
    virtual ~CFrameHandler() = default;
};

// A reader slot: its cursor is the index in the block list of the next block to return.
struct QueueReader {
    bool inUse = false;
    size_t cursor = 0;
};

// Bounded queue of frame blocks kept in one arena used as a ring. Producers never
// wait: when the arena is full the oldest blocks are evicted. Up to seven readers
// walk the queue independently; blocks are not removed by reading. A pointer from
// ReadNext stays valid until its block is evicted, so readers copy it at once.
class CBufferMonitor : public CFrameHandler {
public:
    static constexpr uint32_t kArenaSize = 0x100000;
    static constexpr int kReaderSlots = 7;
    static constexpr int kTypeSlots = 8;  // seven known types, then "other"
    static constexpr int32_t kDefaultMaxReaderLag = 999999;

    explicit CBufferMonitor(uint32_t arenaSize = kArenaSize);
    ~CBufferMonitor() override;
    CBufferMonitor(const CBufferMonitor&) = delete;
    CBufferMonitor& operator=(const CBufferMonitor&) = delete;

    // Appends a block of type 97; returns it, or null when it cannot be stored.
    uint8_t* PushFrame(const uint8_t* data, uint32_t length, uint32_t timeStamp);
    // Appends a copy of a whole block with its own type; always -1.
    int PutFrame(int unused, const uint8_t* block) override;

    // A reader on the second-newest block (a live stream joins near its end).
    QueueReader* OpenReader();
    // A reader on the oldest block (a message is read from its start).
    QueueReader* OpenReaderAtOldest();
    const uint8_t* ReadNext(QueueReader* reader);
    void CloseReader(QueueReader* reader);
    void ClearQueue();

    void SetMaxReaderLag(int32_t lag);
    // Called once when a block larger than the whole arena is offered to an empty queue.
    void SetOversizeWarning(std::function<void()> warn);

    int32_t TypeCount(int slot) const;
    size_t BlockCount() const;

private:
    uint8_t* AllocBlock(uint64_t size);
    uint64_t EvictOldest(uint64_t size);
    bool Append(uint8_t* block);
    QueueReader* TakeReaderLocked();
    int TypeSlot(uint8_t type) const;
    uint8_t* FindRoomLocked(uint64_t size) const;

    static constexpr std::array<uint8_t, 7> kTypeTable{96, 97, 98, 99, 100, 0, 90};

    std::unique_ptr<uint8_t[]> arena_;
    uint32_t arenaSize_;
    std::deque<uint8_t*> blocks_;
    mutable std::mutex lock_;
    std::array<int32_t, kTypeSlots> typeCounts_{};
    int32_t maxReaderLag_ = kDefaultMaxReaderLag;
    std::array<QueueReader, kReaderSlots> readers_{};
    std::function<void()> oversizeWarning_;
};
