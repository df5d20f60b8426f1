#pragma once
#include <cstddef>
#include <cstdint>

// One element of the frame block queue, also the payload of a voice packet:
// a 16-byte header ("ZIRO_0", 0, type, little-endian length, little-endian
// time stamp) followed by `length` data bytes. Blocks are stored unaligned, so
// they are read and written byte-wise.
struct FrameBlockHeader {
    uint8_t type = 0;
    uint32_t length = 0;
    uint32_t timeStamp = 0;
};

constexpr size_t kFrameBlockHeaderSize = 16;
constexpr uint8_t kFrameBlockTypeAudio = 97;  // 'a', the type of every pushed block
constexpr char kFrameBlockMarker[6] = {'Z', 'I', 'R', 'O', '_', '0'};

void WriteFrameBlockHeader(uint8_t* block, uint8_t type, uint32_t length, uint32_t timeStamp);
FrameBlockHeader ReadFrameBlockHeader(const uint8_t* block);

inline size_t FrameBlockSize(const uint8_t* block) {
    return kFrameBlockHeaderSize + ReadFrameBlockHeader(block).length;
}
inline const uint8_t* FrameBlockData(const uint8_t* block) { return block + kFrameBlockHeaderSize; }
