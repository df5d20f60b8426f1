#include "talk/rtp/playback_assembly.h"

#include <cstring>

#include "audio/frame_block.h"

namespace rtp {

void AppendToAssembly(std::span<uint8_t, kAssemblyBufferSize> buffer, int32_t& count, CBufferMonitor& playback,
                      const uint8_t* payload, size_t length) {
    if (!payload || length < kFrameBlockHeaderSize) return;
    const uint64_t dataLength = ReadFrameBlockHeader(payload).length;
    if (kFrameBlockHeaderSize + dataLength > length) return;
    if (count <= 0) {
        if (kFrameBlockHeaderSize + dataLength > buffer.size()) return;
        std::memcpy(buffer.data(), payload, size_t(kFrameBlockHeaderSize + dataLength));
        count = 0;
    } else {
        const FrameBlockHeader group = ReadFrameBlockHeader(buffer.data());
        const uint64_t held = kFrameBlockHeaderSize + uint64_t(group.length);
        if (held + dataLength > buffer.size()) return;
        std::memcpy(buffer.data() + held, FrameBlockData(payload), size_t(dataLength));
        WriteFrameBlockHeader(buffer.data(), group.type, uint32_t(group.length + dataLength), group.timeStamp);
    }
    if (++count < kFramesPerPlaybackBlock) return;
    const FrameBlockHeader group = ReadFrameBlockHeader(buffer.data());
    playback.PushFrame(FrameBlockData(buffer.data()), group.length, group.timeStamp);
    count = 0;
}

}  // namespace rtp
