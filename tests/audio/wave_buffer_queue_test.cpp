#include "audio/wave_buffer_queue.h"

#include <gtest/gtest.h>

#include <array>
#include <vector>

namespace {

struct Delivery {
    uint32_t message;
    WaveBuffer* buffer;
};

class WaveBufferQueueTest : public ::testing::Test {
protected:
    static void Record(uint32_t message, void* instance, WaveBuffer* buffer) {
        auto* self = static_cast<WaveBufferQueueTest*>(instance);
        self->delivered.push_back({message, buffer});
        if (self->addBackOnReturn && buffer) self->queue.Add(buffer);
    }

    void SetUp() override {
        for (size_t i = 0; i < buffers.size(); ++i) buffers[i] = WaveBuffer{bytes[i].data(), 4};
        queue.Open(&Record, this, kWimOpen);
    }

    WaveBufferQueue queue;
    std::array<std::array<uint8_t, 4>, 3> bytes{};
    std::array<WaveBuffer, 3> buffers{};
    std::vector<Delivery> delivered;
    bool addBackOnReturn = false;
};

TEST_F(WaveBufferQueueTest, OnlyPreparedBuffersAreQueuedAndOnlyOnce) {
    EXPECT_EQ(queue.Add(&buffers[0]), kWaveUnprepared);
    ASSERT_EQ(queue.Prepare(&buffers[0]), kWaveOk);
    EXPECT_EQ(queue.Add(&buffers[0]), kWaveOk);
    EXPECT_EQ(buffers[0].flags, kWaveBufferPrepared | kWaveBufferInQueue);
    EXPECT_EQ(queue.Add(&buffers[0]), kWaveStillPlaying);
    EXPECT_EQ(queue.Unprepare(&buffers[0]), kWaveStillPlaying);
    WaveBuffer empty;
    EXPECT_EQ(queue.Prepare(&empty), kWaveInvalidParam);
}

TEST_F(WaveBufferQueueTest, CompleteReturnsTheHeadInOrderMarkedDone) {
    for (WaveBuffer& b : buffers) {
        queue.Prepare(&b);
        queue.Add(&b);
    }
    {
        std::lock_guard guard(queue.Mutex());
        EXPECT_EQ(queue.HeadLocked(), &buffers[0]);
    }
    queue.Complete(&buffers[0], kWimData);
    queue.Complete(&buffers[2], kWimData);  // not the head: ignored
    ASSERT_EQ(delivered.size(), 2u);
    EXPECT_EQ(delivered[1].message, kWimData);
    EXPECT_EQ(delivered[1].buffer, &buffers[0]);
    EXPECT_EQ(buffers[0].flags, kWaveBufferPrepared | kWaveBufferDone);
    std::lock_guard guard(queue.Mutex());
    EXPECT_EQ(queue.HeadLocked(), &buffers[1]);
}

TEST_F(WaveBufferQueueTest, ReturnAllHandsBackEveryBufferAndTheCallbackMayAddThemBack) {
    for (WaveBuffer& b : buffers) {
        queue.Prepare(&b);
        queue.Add(&b);
    }
    addBackOnReturn = true;
    queue.ReturnAll(kWomDone);
    ASSERT_EQ(delivered.size(), 4u);
    for (size_t i = 0; i < 3; ++i) EXPECT_EQ(delivered[i + 1].buffer, &buffers[i]);
    std::lock_guard guard(queue.Mutex());
    EXPECT_EQ(queue.HeadLocked(), &buffers[0]);  // added back from inside the callback
}

}  // namespace
