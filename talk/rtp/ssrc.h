#pragma once
#include <cstdint>

#include "platform/clock.h"

namespace rtp {

// A seed that differs between two processes started in the same second.
uint32_t SsrcSeed(platform::WallTime now);

// Three 15-bit draws r1, r2, r3 from seed: (2 r1) ^ (2 r2 << 8) ^ (2 r3 << 16), never 0.
uint32_t DrawSsrc(uint32_t seed);

}  // namespace rtp
