#include "audio/frame_block.h"

#include <cstring>

#include "common/byte_order.h"

void WriteFrameBlockHeader(uint8_t* block, uint8_t type, uint32_t length, uint32_t timeStamp) {
    std::memcpy(block, kFrameBlockMarker, sizeof kFrameBlockMarker);
    block[6] = 0;
    block[7] = type;
    common::PutLe32(block + 8, length);
    common::PutLe32(block + 12, timeStamp);
}

FrameBlockHeader ReadFrameBlockHeader(const uint8_t* block) {
    return {block[7], common::GetLe32(block + 8), common::GetLe32(block + 12)};
}
