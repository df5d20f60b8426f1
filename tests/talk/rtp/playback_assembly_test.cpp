#include <gtest/gtest.h>

#include "audio/frame_block.h"
#include "talk/rtp/playback_assembly.h"

namespace rtp {
namespace {

std::vector<uint8_t> Block(uint32_t stamp, uint8_t fill, uint32_t dataLength = 10) {
    std::vector<uint8_t> b(kFrameBlockHeaderSize + dataLength, fill);
    WriteFrameBlockHeader(b.data(), kFrameBlockTypeAudio, dataLength, stamp);
    return b;
}

class Assembly : public ::testing::Test {
protected:
    AssemblyBuffer buffer{};
    int32_t count = 0;
    CBufferMonitor playback;
    QueueReader* reader = playback.OpenReader();

    void Take(const std::vector<uint8_t>& payload) {
        AppendToAssembly(buffer, count, playback, payload.data(), payload.size());
    }
};

TEST_F(Assembly, ThreeFramesMakeOneThirtyByteBlockWithFirstStamp) {
    Take(Block(400, 1));
    Take(Block(440, 2));
    EXPECT_EQ(playback.BlockCount(), 0u);
    EXPECT_EQ(count, 2);
    Take(Block(480, 3));
    EXPECT_EQ(count, 0);
    const uint8_t* block = playback.ReadNext(reader);
    ASSERT_NE(block, nullptr);
    const FrameBlockHeader header = ReadFrameBlockHeader(block);
    EXPECT_EQ(header.length, 30u);
    EXPECT_EQ(header.timeStamp, 400u);
    EXPECT_EQ(header.type, kFrameBlockTypeAudio);
    for (int i = 0; i < 30; ++i) EXPECT_EQ(FrameBlockData(block)[i], 1 + i / 10) << i;
}

TEST_F(Assembly, PayloadShorterThanItsBlockIsDroppedAndCountKept) {
    Take(Block(0, 1));
    auto cut = Block(40, 2);
    cut.resize(cut.size() - 1);
    Take(cut);
    EXPECT_EQ(count, 1);
    Take(std::vector<uint8_t>(15, 0));
    EXPECT_EQ(count, 1);
}

TEST_F(Assembly, HugeClaimedLengthIsDropped) {
    auto b = Block(0, 1);
    WriteFrameBlockHeader(b.data(), kFrameBlockTypeAudio, 0xFFFFFFFF, 0);
    Take(b);
    EXPECT_EQ(count, 0);
}

TEST_F(Assembly, BlockThatWouldOverflowTheBufferIsDropped) {
    Take(Block(0, 1, 31));  // alone it does not fit
    EXPECT_EQ(count, 0);
    Take(Block(0, 1, 20));
    Take(Block(40, 2, 11));  // 20 + 11 > 30
    EXPECT_EQ(count, 1);
    Take(Block(40, 2, 5));
    Take(Block(80, 3, 5));
    ASSERT_EQ(playback.BlockCount(), 1u);
    EXPECT_EQ(ReadFrameBlockHeader(playback.ReadNext(reader)).length, 30u);
}

TEST_F(Assembly, PaddingAfterTheBlockIsIgnored) {
    for (uint32_t i = 0; i < 3; ++i) {
        auto b = Block(i, 7);
        b.insert(b.end(), {0, 0});
        Take(b);
    }
    EXPECT_EQ(ReadFrameBlockHeader(playback.ReadNext(reader)).length, 30u);
}

TEST_F(Assembly, ResetCountStartsAFreshGroup) {
    Take(Block(0, 1));
    count = 0;  // a new talk
    Take(Block(100, 2));
    Take(Block(140, 3));
    Take(Block(180, 4));
    EXPECT_EQ(ReadFrameBlockHeader(playback.ReadNext(reader)).timeStamp, 100u);
}

}  // namespace
}  // namespace rtp
