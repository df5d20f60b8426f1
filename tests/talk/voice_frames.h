#pragma once
// Speech frames and the voice packets that carry them, for the receive-path tests.
#include <array>
#include <cstdint>
#include <vector>

namespace talktest {

using Frame = std::array<uint8_t, 10>;

// `count` frames of a voiced test signal with a gliding pitch and a slow
// envelope, peaking near `amplitude`, through the codec's encoder (reset first).
std::vector<Frame> SpeechFrames(int count, double amplitude);

// The 40-byte packet a sender makes of one frame: header, a frame block
// stamped 40 per frame as capture stamps it, two pad bytes.
std::vector<uint8_t> FramePacket(uint32_t ssrc, uint16_t sequence, const Frame& frame);

}  // namespace talktest
