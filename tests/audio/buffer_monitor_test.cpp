#include "audio/buffer_monitor.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <thread>
#include <vector>

namespace {

uint32_t StampOf(const uint8_t* block) { return ReadFrameBlockHeader(block).timeStamp; }

void PushStamps(CBufferMonitor& queue, uint32_t first, uint32_t last, uint32_t length = 10) {
    std::vector<uint8_t> data(length, 0x5A);
    for (uint32_t stamp = first; stamp <= last; ++stamp)
        ASSERT_NE(queue.PushFrame(data.data(), length, stamp), nullptr);
}

TEST(FrameBlock, HeaderLayoutIsLittleEndianWithMarker) {
    CBufferMonitor queue;
    const uint8_t data[3] = {1, 2, 3};
    const uint8_t* block = queue.PushFrame(data, 3, 0x11223344);
    ASSERT_NE(block, nullptr);
    const uint8_t expected[19] = {'Z', 'I', 'R', 'O', '_', '0', 0, 97, 3, 0, 0, 0,
                                  0x44, 0x33, 0x22, 0x11, 1, 2, 3};
    EXPECT_EQ(std::memcmp(block, expected, sizeof expected), 0);
    EXPECT_EQ(FrameBlockSize(block), 19u);
}

TEST(BufferMonitorReaders, NewReaderOnEmptyQueueGetsFirstBlockPushedLater) {
    CBufferMonitor queue;
    QueueReader* reader = queue.OpenReader();
    ASSERT_NE(reader, nullptr);
    EXPECT_EQ(queue.ReadNext(reader), nullptr);
    PushStamps(queue, 1, 2);
    EXPECT_EQ(StampOf(queue.ReadNext(reader)), 1u);
    EXPECT_EQ(StampOf(queue.ReadNext(reader)), 2u);
    EXPECT_EQ(queue.ReadNext(reader), nullptr);
}

TEST(BufferMonitorReaders, NewReaderStartsAtSecondNewest) {
    CBufferMonitor queue;
    PushStamps(queue, 1, 10);
    QueueReader* reader = queue.OpenReader();
    EXPECT_EQ(StampOf(queue.ReadNext(reader)), 9u);
    EXPECT_EQ(StampOf(queue.ReadNext(reader)), 10u);
    EXPECT_EQ(queue.ReadNext(reader), nullptr);
}

TEST(BufferMonitorReaders, SevenSlotsThenNullAndClosedSlotIsReused) {
    CBufferMonitor queue;
    std::vector<QueueReader*> readers;
    for (int i = 0; i < 7; ++i) readers.push_back(queue.OpenReader());
    for (QueueReader* r : readers) EXPECT_NE(r, nullptr);
    EXPECT_EQ(queue.OpenReader(), nullptr);
    queue.CloseReader(readers[3]);
    EXPECT_EQ(queue.OpenReader(), readers[3]);
}

TEST(BufferMonitorReaders, ReadersAreIndependent) {
    CBufferMonitor queue;
    QueueReader* a = queue.OpenReader();
    QueueReader* b = queue.OpenReader();
    PushStamps(queue, 1, 3);
    EXPECT_EQ(StampOf(queue.ReadNext(a)), 1u);
    EXPECT_EQ(StampOf(queue.ReadNext(a)), 2u);
    EXPECT_EQ(StampOf(queue.ReadNext(b)), 1u);
    EXPECT_EQ(queue.BlockCount(), 3u);  // reading removes nothing
}

TEST(BufferMonitorReaders, LaggingReaderJumpsToNewest) {
    CBufferMonitor queue;
    queue.SetMaxReaderLag(4);
    QueueReader* reader = queue.OpenReader();
    PushStamps(queue, 1, 6);
    EXPECT_EQ(StampOf(queue.ReadNext(reader)), 6u);
    EXPECT_EQ(queue.ReadNext(reader), nullptr);
    PushStamps(queue, 7, 10);  // exactly four behind: no jump
    EXPECT_EQ(StampOf(queue.ReadNext(reader)), 7u);
}

TEST(BufferMonitorReaders, ClearPullsCursorBackAndResumesWithSecondBlock) {
    CBufferMonitor queue;
    QueueReader* reader = queue.OpenReader();
    PushStamps(queue, 1, 5);
    for (int i = 0; i < 5; ++i) queue.ReadNext(reader);
    queue.ClearQueue();
    EXPECT_EQ(queue.BlockCount(), 0u);
    EXPECT_EQ(queue.TypeCount(1), 0);
    EXPECT_EQ(queue.ReadNext(reader), nullptr);
    PushStamps(queue, 100, 100);
    EXPECT_EQ(queue.ReadNext(reader), nullptr);  // cursor 5 > 1 blocks: pulled back to 1
    PushStamps(queue, 101, 101);
    EXPECT_EQ(StampOf(queue.ReadNext(reader)), 101u);
}

TEST(BufferMonitorTypes, PushCountsTypeAAndPutKeepsBlockType) {
    CBufferMonitor queue;
    PushStamps(queue, 1, 3);
    EXPECT_EQ(queue.TypeCount(1), 3);  // 97 is the table's second entry

    uint8_t block[20];
    const uint8_t data[4] = {9, 9, 9, 9};
    WriteFrameBlockHeader(block, 90, 4, 77);
    std::memcpy(block + 16, data, 4);
    EXPECT_EQ(queue.PutFrame(0, block), -1);
    EXPECT_EQ(queue.TypeCount(6), 1);
    WriteFrameBlockHeader(block, 42, 4, 78);
    queue.PutFrame(0, block);
    EXPECT_EQ(queue.TypeCount(7), 1);  // unknown types share the last count
    EXPECT_EQ(queue.BlockCount(), 5u);

    QueueReader* reader = queue.OpenReader();  // second-newest is the type-90 copy
    const uint8_t* copy = queue.ReadNext(reader);
    EXPECT_EQ(ReadFrameBlockHeader(copy).type, 90);
    EXPECT_EQ(StampOf(copy), 77u);
    EXPECT_EQ(std::memcmp(FrameBlockData(copy), data, 4), 0);
}

TEST(BufferMonitorArena, WrapsToStartWhenOldestBlocksAreEvicted) {
    constexpr uint32_t kArena = 1000;
    CBufferMonitor queue(kArena);
    QueueReader* reader = queue.OpenReader();
    // 100-byte blocks (16 + 84): ten fill the arena exactly.
    PushStamps(queue, 1, 10, 84);
    EXPECT_EQ(queue.BlockCount(), 10u);
    EXPECT_EQ(StampOf(queue.ReadNext(reader)), 1u);
    EXPECT_EQ(StampOf(queue.ReadNext(reader)), 2u);  // cursor now on block 3

    std::vector<uint8_t> data(84, 1);
    const uint8_t* wrapped = queue.PushFrame(data.data(), 84, 11);
    ASSERT_NE(wrapped, nullptr);
    EXPECT_EQ(queue.BlockCount(), 10u);  // block 1 evicted
    EXPECT_EQ(queue.TypeCount(1), 10);
    // The reader stays on block 3 although the list shifted.
    EXPECT_EQ(StampOf(queue.ReadNext(reader)), 3u);

    // A bigger block needs two evictions (blocks 2 and 3) and goes after block 11.
    std::vector<uint8_t> big(184, 2);
    ASSERT_NE(queue.PushFrame(big.data(), 184, 12), nullptr);
    EXPECT_EQ(queue.BlockCount(), 9u);
    EXPECT_EQ(StampOf(queue.ReadNext(reader)), 4u);
}

TEST(BufferMonitorArena, BlocksNeverOverlapUnderWrapping) {
    constexpr uint32_t kArena = 4096;
    CBufferMonitor queue(kArena);
    QueueReader* reader = queue.OpenReader();
    for (uint32_t i = 0; i < 2000; ++i) {
        const uint32_t length = 10 + (i * 37) % 300;
        std::vector<uint8_t> data(length, uint8_t(i));
        ASSERT_NE(queue.PushFrame(data.data(), length, i), nullptr);
        // Every queued block still carries its own bytes.
        QueueReader* check = queue.OpenReader();
        check->cursor = 0;
        while (const uint8_t* block = queue.ReadNext(check)) {
            const FrameBlockHeader h = ReadFrameBlockHeader(block);
            ASSERT_EQ(h.length, 10 + (h.timeStamp * 37) % 300);
            for (uint32_t k = 0; k < h.length; ++k) ASSERT_EQ(block[16 + k], uint8_t(h.timeStamp));
        }
        queue.CloseReader(check);
    }
    EXPECT_NE(queue.ReadNext(reader), nullptr);
}

TEST(BufferMonitorArena, OversizedBlockFailsAfterEvictingAndWarnsOnlyWhenEmpty) {
    constexpr uint32_t kArena = 1000;
    CBufferMonitor queue(kArena);
    int warnings = 0;
    queue.SetOversizeWarning([&] { ++warnings; });
    std::vector<uint8_t> big(kArena, 0);
    EXPECT_EQ(queue.PushFrame(big.data(), kArena - 15, 1), nullptr);  // 16 + 985 > 1000
    EXPECT_EQ(warnings, 1);
    PushStamps(queue, 1, 3);
    EXPECT_EQ(queue.PushFrame(big.data(), kArena, 2), nullptr);
    EXPECT_EQ(queue.BlockCount(), 0u);  // everything was evicted trying
    EXPECT_EQ(warnings, 1);
    EXPECT_NE(queue.PushFrame(big.data(), kArena - 16, 3), nullptr);  // exactly fits
}

TEST(BufferMonitorArena, HugeLengthDoesNotOverflow) {
    CBufferMonitor queue(1000);
    uint8_t block[16];
    WriteFrameBlockHeader(block, 97, 0xFFFFFFF8u, 1);
    EXPECT_EQ(queue.PutFrame(0, block), -1);
    EXPECT_EQ(queue.BlockCount(), 0u);
}

TEST(BufferMonitorConcurrency, ProducerAndReadersRunTogether) {
    CBufferMonitor queue;  // large enough that nothing is evicted while read
    std::atomic<bool> done{false};
    std::thread producer([&] {
        const uint8_t data[10] = {};
        for (uint32_t i = 1; i <= 20000; ++i) queue.PushFrame(data, 10, i);
        done = true;
    });
    std::vector<std::thread> readers;
    for (int r = 0; r < 3; ++r) {
        readers.emplace_back([&] {
            QueueReader* reader = queue.OpenReader();
            uint32_t last = 0;
            while (!done) {
                uint8_t copy[26];
                const uint8_t* block = queue.ReadNext(reader);
                if (!block) continue;
                std::memcpy(copy, block, 16);
                const uint32_t stamp = ReadFrameBlockHeader(copy).timeStamp;
                EXPECT_GT(stamp, last);  // stamps only move forward
                last = stamp;
            }
            queue.CloseReader(reader);
        });
    }
    producer.join();
    for (std::thread& t : readers) t.join();
}

}  // namespace
