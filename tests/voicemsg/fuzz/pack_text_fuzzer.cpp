// Loads arbitrary text as a received voice message: every chunk either becomes
// one block of at most 480 bytes or is skipped, and blocks built back into a
// pack text load again as the same blocks when all but the last are whole.
#include <cstdlib>
#include <string>
#include <vector>

#include "audio/buffer_monitor.h"
#include "voicemsg/pack_text.h"

using namespace voicemsg;

namespace {

// Inputs are at most a few kilobytes: small arenas keep the runs fast.
constexpr uint32_t kArenaSize = 65536;
constexpr uint32_t kTextSize = 65536;

void Check(bool condition) {
    if (!condition) std::abort();
}

std::vector<std::vector<uint8_t>> Blocks(CBufferMonitor& queue) {
    std::vector<std::vector<uint8_t>> blocks;
    QueueReader* reader = queue.OpenReaderAtOldest();
    while (const uint8_t* block = queue.ReadNext(reader)) {
        const uint32_t length = ReadFrameBlockHeader(block).length;
        blocks.emplace_back(FrameBlockData(block), FrameBlockData(block) + length);
    }
    queue.CloseReader(reader);
    return blocks;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const auto* text = reinterpret_cast<const char*>(data);
    CBufferMonitor queue(kArenaSize);
    LoadPackText(queue, text, uint32_t(size));
    const auto blocks = Blocks(queue);
    const size_t chunks = (size + kPackChunkChars - 1) / kPackChunkChars;
    Check(blocks.size() <= chunks);
    for (const auto& block : blocks) Check(!block.empty() && block.size() <= kPackBlockBytes);
    Check((FirstMalformedChunk(text, uint32_t(size)) == 0) == (blocks.size() == chunks));

    std::string rebuilt(kTextSize, '\0');
    const uint32_t length = BuildPackText(queue, rebuilt.data(), kTextSize);
    Check(length < kTextSize && rebuilt[length] == '\0');
    CBufferMonitor again(kArenaSize);
    LoadPackText(again, rebuilt.data(), length);
    bool whole = true;
    for (size_t i = 0; i + 1 < blocks.size(); ++i) whole = whole && blocks[i].size() == kPackBlockBytes;
    Check(!whole || Blocks(again) == blocks);
    return 0;
}
