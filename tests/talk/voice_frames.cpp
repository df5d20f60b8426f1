#include "tests/talk/voice_frames.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "audio/frame_block.h"
#include "codec/codec.h"
#include "tests/support/rtp_packets.h"

namespace talktest {

std::vector<Frame> SpeechFrames(int count, double amplitude) {
    InitEncoder();
    std::vector<Frame> frames(size_t(count), Frame{});
    double phase = 0;
    int16_t pcm[kSamplesPerFrame];
    for (int f = 0; f < count; ++f) {
        for (int i = 0; i < kSamplesPerFrame; ++i) {
            const double t = (f * kSamplesPerFrame + i) / 8000.0;
            phase += 2 * std::numbers::pi * (140 + 30 * std::sin(2 * std::numbers::pi * 1.3 * t)) / 8000.0;
            const double voice = std::sin(phase) + 0.5 * std::sin(2 * phase) + 0.3 * std::sin(3 * phase);
            const double envelope = 0.6 + 0.4 * std::sin(2 * std::numbers::pi * 3.0 * t);
            pcm[i] = int16_t(std::clamp(amplitude * envelope * voice / 1.8, -32768.0, 32767.0));
        }
        EncodeFrame(pcm, frames[size_t(f)].data());
    }
    return frames;
}

std::vector<uint8_t> FramePacket(uint32_t ssrc, uint16_t sequence, const Frame& frame) {
    std::vector<uint8_t> packet = support::RtpPacket({true, 98, sequence, 0, ssrc}, 28);
    uint8_t* block = packet.data() + rtp::kRtpHeaderSize;
    WriteFrameBlockHeader(block, kFrameBlockTypeAudio, uint32_t(frame.size()), 40u * sequence);
    std::copy(frame.begin(), frame.end(), block + kFrameBlockHeaderSize);
    return packet;
}

}  // namespace talktest
