#pragma once
#include <cstdint>
#include <functional>

// Volumes: raw values 0..65535 as the mixer holds them, shown as whole percent.
constexpr uint32_t kMixerRawMax = 65535;

int32_t ClampPercent(int32_t percent);
// raw × 100 / 65535, rounded down; raw above the range counts as its top.
int32_t PercentFromRaw(uint32_t raw);
// percent × 65535 / 100, rounded down, for a percent clamped to 0..100.
uint32_t RawFromPercent(int32_t percent);

// Sets a volume to `percent` (clamped to 0..100). A driver with coarse steps
// may keep its old step for the value written, so while the percentage read
// back has not moved, the write is repeated 1 % further in the requested
// direction, until the read-back moves or the range ends: at most 101 writes.
// Writes nothing when the read-back already is the target. True when a write
// succeeded or nothing had to change.
bool SetPercentWithReadBack(int32_t percent, const std::function<int32_t()>& readPercent,
                            const std::function<bool(uint32_t raw)>& writeRaw);
