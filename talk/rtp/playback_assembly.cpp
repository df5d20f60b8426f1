#include "talk/rtp/playback_assembly.h"

#include <algorithm>

#include "audio/frame_block.h"

namespace rtp {

std::optional<VoiceFrame> ReadVoiceFrame(std::span<const uint8_t> payload) {
    if (payload.size() < kFrameBlockHeaderSize) return std::nullopt;
    const FrameBlockHeader header = ReadFrameBlockHeader(payload.data());
    if (header.length != kFrameBytes || payload.size() < kFrameBlockHeaderSize + kFrameBytes) return std::nullopt;
    VoiceFrame frame;
    frame.timeStamp = header.timeStamp;
    std::copy_n(FrameBlockData(payload.data()), kFrameBytes, frame.bytes.begin());
    return frame;
}

int FrameGroup::Lost() const {
    return int(std::count_if(play.begin(), play.end(), [](FramePlay p) { return p != FramePlay::Received; }));
}

}  // namespace rtp
