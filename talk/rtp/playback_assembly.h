#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

// What the receive path gathers for playback: single speech frames taken from
// voice payloads, and groups of three consecutive frames of one source, which
// playback decodes as one 30 ms block.
namespace rtp {

constexpr size_t kFrameBytes = 10;
constexpr int kFramesPerPlaybackBlock = 3;

// One received speech frame with the capture time stamp of its block.
struct VoiceFrame {
    uint32_t timeStamp = 0;
    std::array<uint8_t, kFrameBytes> bytes{};
};

// The frame a voice payload carries: a frame block holding exactly one frame,
// whole within the payload (what follows it, such as padding, is ignored).
// Any other payload carries none.
std::optional<VoiceFrame> ReadVoiceFrame(std::span<const uint8_t> payload);

// How one 10 ms place of a group is played: its own frame, the decoder's
// concealment of a lost frame, or, once a gap has gone on too long, silence.
enum class FramePlay : uint8_t { Received, Concealed, Silent };

// Three consecutive places of one source: 30 ms of its playback.
struct FrameGroup {
    uint32_t timeStamp = 0;  // capture stamp of its first received frame
    std::array<FramePlay, kFramesPerPlaybackBlock> play{};
    std::array<uint8_t, kFramesPerPlaybackBlock * kFrameBytes> data{};  // received frames in their places

    int Lost() const;  // places without their own frame
};

}  // namespace rtp
