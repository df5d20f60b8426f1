#include "voicemsg/pack_text.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "audio/buffer_monitor.h"
#include "common/base64.h"

namespace voicemsg {
namespace {

struct Block {
    std::vector<uint8_t> data;
    uint32_t stamp;
};

std::vector<Block> Blocks(CBufferMonitor& queue) {
    std::vector<Block> blocks;
    QueueReader* reader = queue.OpenReaderAtOldest();
    while (const uint8_t* block = queue.ReadNext(reader)) {
        const FrameBlockHeader header = ReadFrameBlockHeader(block);
        EXPECT_EQ(header.type, kFrameBlockTypeAudio);
        blocks.push_back({{FrameBlockData(block), FrameBlockData(block) + header.length}, header.timeStamp});
    }
    queue.CloseReader(reader);
    return blocks;
}

std::string Base64(const std::vector<uint8_t>& bytes) {
    std::string text(common::Base64Length(bytes.size()), '\0');
    common::Base64Encode(bytes.data(), bytes.size(), text.data());
    return text;
}

std::vector<uint8_t> Pcm(size_t bytes, uint8_t seed) {
    std::vector<uint8_t> pcm(bytes);
    for (size_t i = 0; i < bytes; ++i) pcm[i] = uint8_t(seed + i * 7);
    return pcm;
}

void Load(CBufferMonitor& queue, const std::string& text) { LoadPackText(queue, text.data(), uint32_t(text.size())); }

TEST(LoadPackText, SplitsTheTextIntoBlocksOf640CharactersStampedFortyApart) {
    CBufferMonitor queue;
    const auto pcm = Pcm(10 * 480, 3);
    Load(queue, Base64(pcm));  // 6400 characters
    const auto blocks = Blocks(queue);
    ASSERT_EQ(blocks.size(), 10u);
    EXPECT_EQ(blocks.size() / 33, 0u);  // too short for a whole second
    for (size_t i = 0; i < blocks.size(); ++i) {
        EXPECT_EQ(blocks[i].stamp, 40u * (i + 1));
        EXPECT_EQ(blocks[i].data, std::vector<uint8_t>(pcm.begin() + i * 480, pcm.begin() + (i + 1) * 480));
    }
}

TEST(LoadPackText, ShortTextsGiveShortBlocksAndNoChunkStartsAtTheEnd) {
    CBufferMonitor queue;
    Load(queue, "AAAA");
    auto blocks = Blocks(queue);
    ASSERT_EQ(blocks.size(), 1u);
    EXPECT_EQ(blocks[0].data, std::vector<uint8_t>(3, 0));
    Load(queue, "AA==");
    blocks = Blocks(queue);
    ASSERT_EQ(blocks.size(), 1u);
    EXPECT_EQ(blocks[0].data, std::vector<uint8_t>(1, 0));
    Load(queue, Base64(Pcm(3 * 480 + 2, 9)));  // three whole chunks and "xxx="
    blocks = Blocks(queue);
    ASSERT_EQ(blocks.size(), 4u);
    EXPECT_EQ(blocks[3].data.size(), 2u);
    Load(queue, std::string(640 * 3, 'B'));
    EXPECT_EQ(Blocks(queue).size(), 3u);
}

TEST(LoadPackText, AMalformedChunkIsSkippedAndItsStampUsedUp) {
    const std::string good = Base64(Pcm(480, 1));
    const std::vector<std::string> bad = {
        std::string(639, 'A') + "*",                  // a character outside the alphabet
        std::string(636, 'A') + "AA==" ,              // fine: padding ends the chunk
        "AA==" + std::string(636, 'A'),               // "=" in the middle
        std::string(320, 'A') + "A=AA" + std::string(316, 'A'),
        std::string(320, 'A') + "\n" + std::string(319, 'A'),
    };
    for (size_t i = 0; i < bad.size(); ++i) {
        CBufferMonitor queue;
        const std::string text = good + bad[i] + good;
        Load(queue, text);
        const auto blocks = Blocks(queue);
        const bool wellFormed = i == 1;
        ASSERT_EQ(blocks.size(), wellFormed ? 3u : 2u) << "case " << i;
        EXPECT_EQ(blocks.back().stamp, 120u) << "case " << i;
        EXPECT_EQ(FirstMalformedChunk(text.data(), uint32_t(text.size())), wellFormed ? 0u : 2u) << "case " << i;
    }
    for (const std::string tail : {"A", "AA", "AAA", "AAAAA", "AA=", "===="}) {
        CBufferMonitor queue;
        const std::string text = good + tail;
        Load(queue, text);
        const auto blocks = Blocks(queue);
        ASSERT_EQ(blocks.size(), 1u) << tail;  // the last, short group spoils only its own chunk
        EXPECT_EQ(FirstMalformedChunk(text.data(), uint32_t(text.size())), 2u) << tail;
    }
}

TEST(LoadPackText, ReplacesTheMessageButNullTextLeavesItAlone) {
    CBufferMonitor queue;
    Load(queue, std::string(640 * 2, 'A'));
    LoadPackText(queue, nullptr, 1000);
    EXPECT_EQ(queue.BlockCount(), 2u);
    Load(queue, "AAAA");
    EXPECT_EQ(queue.BlockCount(), 1u);
    Load(queue, "");
    EXPECT_EQ(queue.BlockCount(), 0u);
}

TEST(BuildPackText, IsTheBase64OfTheWholeMessageBlockByBlock) {
    CBufferMonitor queue;
    const auto pcm = Pcm(5 * 480, 11);
    for (int i = 0; i < 5; ++i) queue.PushFrame(pcm.data() + i * 480, 480, 40u * (i + 1));
    queue.PushFrame(pcm.data(), 1, 240);  // a short last block gets its own padding
    std::vector<char> out(kPackTextCapacity, 'x');
    const uint32_t size = BuildPackText(queue, out.data(), kPackTextCapacity);
    EXPECT_EQ(std::string(out.data(), size), Base64(pcm) + Base64({pcm[0]}));
    EXPECT_EQ(out[size], '\0');
    // The reader slot is given back: seven more builds find one each.
    for (int i = 0; i < CBufferMonitor::kReaderSlots; ++i) EXPECT_EQ(BuildPackText(queue, out.data(), 4096), 3204u);
}

TEST(BuildPackText, StopsBeforeTheBlockThatWouldNotFit) {
    CBufferMonitor queue;
    const auto pcm = Pcm(480, 5);
    for (uint32_t i = 0; i < 1700; ++i) queue.PushFrame(pcm.data(), 480, 40 * (i + 1));
    std::vector<char> out(kPackTextCapacity + 16, 'x');
    EXPECT_EQ(BuildPackText(queue, out.data(), kPackTextCapacity), 1638u * 640);
    EXPECT_EQ(out[1638 * 640], '\0');
    EXPECT_EQ(out[kPackTextCapacity], 'x');
    EXPECT_EQ(BuildPackText(queue, out.data(), 1281), 1280u);  // two pieces and the NUL
    std::fill(out.begin(), out.end(), 'x');
    EXPECT_EQ(BuildPackText(queue, out.data(), 1280), 640u);
    EXPECT_EQ(out[640], '\0');
    EXPECT_EQ(out[1279], 'x');
}

TEST(BuildPackText, GivesNothingWithoutAFreeReaderSlot) {
    CBufferMonitor queue;
    queue.PushFrame(Pcm(480, 0).data(), 480, 40);
    for (int i = 0; i < CBufferMonitor::kReaderSlots; ++i) ASSERT_NE(queue.OpenReader(), nullptr);
    char out[1024];
    EXPECT_EQ(BuildPackText(queue, out, sizeof out), 0u);
}

}  // namespace
}  // namespace voicemsg
