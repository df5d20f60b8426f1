#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

#include "audio/buffer_monitor.h"

namespace rtp {

constexpr size_t kAssemblyBufferSize = 46;  // one block header and three 10-byte frames
constexpr int32_t kFramesPerPlaybackBlock = 3;

// The buffer a talk gathers its received frames in.
using AssemblyBuffer = std::array<uint8_t, kAssemblyBufferSize>;

// Takes one received payload (a frame block) into the group being assembled.
// The first block's header, with its capture time stamp, heads the group; later
// blocks add their data. The third block completes the group, which is pushed to
// the playback queue, and count returns to 0. Payloads shorter than their block
// claims, or blocks that would overflow the buffer, are dropped.
void AppendToAssembly(std::span<uint8_t, kAssemblyBufferSize> buffer, int32_t& count, CBufferMonitor& playback,
                      const uint8_t* payload, size_t length);

}  // namespace rtp
