#include "talk/rtp/ssrc.h"

namespace rtp {
namespace {

// The portable generator of the C standard's example rand(): 15 bits per draw.
class Draw15 {
public:
    explicit Draw15(uint32_t seed) : next_(seed) {}
    uint32_t operator()() {
        next_ = next_ * 1103515245u + 12345u;
        return (next_ / 65536u) % 32768u;
    }

private:
    uint32_t next_;
};

}  // namespace

uint32_t SsrcSeed(platform::WallTime now) {
    return uint32_t(now.seconds) ^ uint32_t(now.microseconds) * 2654435761u;
}

uint32_t DrawSsrc(uint32_t seed) {
    Draw15 draw(seed);
    for (;;) {
        const uint32_t r1 = draw(), r2 = draw(), r3 = draw();
        const uint32_t ssrc = (2 * r1) ^ ((2 * r2) << 8) ^ ((2 * r3) << 16);
        if (ssrc != 0) return ssrc;  // 0 marks an empty source entry at the peer
    }
}

}  // namespace rtp
