#include "audio/mixer/volume_percent.h"

#include <algorithm>

int32_t ClampPercent(int32_t percent) { return std::clamp(percent, 0, 100); }

int32_t PercentFromRaw(uint32_t raw) { return int32_t(std::min(raw, kMixerRawMax) * 100 / kMixerRawMax); }

uint32_t RawFromPercent(int32_t percent) { return uint32_t(ClampPercent(percent)) * kMixerRawMax / 100; }

bool SetPercentWithReadBack(int32_t percent, const std::function<int32_t()>& readPercent,
                            const std::function<bool(uint32_t raw)>& writeRaw) {
    const int32_t target = ClampPercent(percent);
    const int32_t old = readPercent();
    if (old == target) return true;
    // Hundredths of a raw unit, so that each step is exactly 1 % of the range.
    int64_t scaled = int64_t(target) * kMixerRawMax;
    const int64_t step = old > target ? -int64_t(kMixerRawMax) : int64_t(kMixerRawMax);
    bool written = writeRaw(uint32_t(scaled / 100));
    while (readPercent() == old) {
        scaled += step;
        if (scaled < 0 || scaled / 100 > kMixerRawMax) break;
        written = writeRaw(uint32_t(scaled / 100)) || written;
    }
    return written;
}
