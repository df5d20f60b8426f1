#include "audio/frame_block.h"

#include <cstring>

namespace {

void PutLe32(uint8_t* p, uint32_t v) {
    p[0] = uint8_t(v);
    p[1] = uint8_t(v >> 8);
    p[2] = uint8_t(v >> 16);
    p[3] = uint8_t(v >> 24);
}

uint32_t GetLe32(const uint8_t* p) {
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

}  // namespace

void WriteFrameBlockHeader(uint8_t* block, uint8_t type, uint32_t length, uint32_t timeStamp) {
    std::memcpy(block, kFrameBlockMarker, sizeof kFrameBlockMarker);
    block[6] = 0;
    block[7] = type;
    PutLe32(block + 8, length);
    PutLe32(block + 12, timeStamp);
}

FrameBlockHeader ReadFrameBlockHeader(const uint8_t* block) {
    return {block[7], GetLe32(block + 8), GetLe32(block + 12)};
}
