#include <gtest/gtest.h>

#include "audio/frame_block.h"
#include "talk/rtp/playback_assembly.h"
#include "talk/rtp/receive_streams.h"

namespace rtp {
namespace {

std::vector<uint8_t> Block(uint32_t stamp, uint8_t fill, uint32_t dataLength = 10) {
    std::vector<uint8_t> b(kFrameBlockHeaderSize + dataLength, fill);
    WriteFrameBlockHeader(b.data(), kFrameBlockTypeAudio, dataLength, stamp);
    return b;
}

// One source's payloads in sequence, as the session hands them on.
class Assembly : public ::testing::Test {
protected:
    ReceiveStreams streams;
    uint16_t sequence = 0;

    // Whether the payload carried a frame (and so was taken).
    bool Take(const std::vector<uint8_t>& payload) {
        const auto frame = ReadVoiceFrame(payload);
        if (frame) streams.Take(0x77, sequence++, *frame);
        return frame.has_value();
    }
    std::optional<FrameGroup> Next() {
        ReceiveStreams::DueGroups due;
        if (streams.TakeDue(due) == 0) return std::nullopt;
        return due[0].group;
    }
};

TEST_F(Assembly, ThreeFramesMakeOneThirtyByteGroupWithFirstStamp) {
    Take(Block(400, 1));
    Take(Block(440, 2));
    EXPECT_FALSE(Next());
    Take(Block(480, 3));
    const auto group = Next();
    ASSERT_TRUE(group);
    EXPECT_EQ(group->timeStamp, 400u);
    EXPECT_EQ(group->Lost(), 0);
    for (int i = 0; i < 30; ++i) EXPECT_EQ(group->data[size_t(i)], 1 + i / 10) << i;
    EXPECT_FALSE(Next());
}

TEST_F(Assembly, PayloadShorterThanItsBlockCarriesNoFrame) {
    auto cut = Block(40, 2);
    cut.resize(cut.size() - 1);
    EXPECT_FALSE(Take(cut));
    EXPECT_FALSE(Take(std::vector<uint8_t>(15, 0)));
    EXPECT_EQ(streams.SourceCount(), 0u);
}

TEST_F(Assembly, HugeClaimedLengthCarriesNoFrame) {
    auto b = Block(0, 1);
    WriteFrameBlockHeader(b.data(), kFrameBlockTypeAudio, 0xFFFFFFFF, 0);
    EXPECT_FALSE(Take(b));
}

// A group is three 10 ms frames; blocks of any other size are not speech frames.
TEST_F(Assembly, BlocksOfOtherSizesCarryNoFrame) {
    for (uint32_t length : {0u, 5u, 11u, 20u, 30u, 31u}) EXPECT_FALSE(Take(Block(0, 1, length))) << length;
    EXPECT_TRUE(Take(Block(0, 1, 10)));
}

TEST_F(Assembly, PaddingAfterTheBlockIsIgnored) {
    for (uint32_t i = 0; i < 3; ++i) {
        auto b = Block(i, 7);
        b.insert(b.end(), {0, 0});
        EXPECT_TRUE(Take(b));
    }
    const auto group = Next();
    ASSERT_TRUE(group);
    EXPECT_EQ(group->data, (std::array<uint8_t, 30>{7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7,
                                                    7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7}));
}

TEST_F(Assembly, ClearingStartsAFreshGroup) {
    Take(Block(0, 1));
    streams.Clear();  // a new talk
    Take(Block(100, 2));
    Take(Block(140, 3));
    Take(Block(180, 4));
    const auto group = Next();
    ASSERT_TRUE(group);
    EXPECT_EQ(group->timeStamp, 100u);
}

}  // namespace
}  // namespace rtp
