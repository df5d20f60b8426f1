#pragma once
#include <cstdint>
#include <vector>

// Objective quality measures between a reference and a processed signal.
namespace codec_test {

// Plain SNR in dB of `test` against `reference` over their common length.
double Snr(const std::vector<int16_t>& reference, const std::vector<int16_t>& test);

// Segmental SNR in dB over 80-sample segments, test delayed by `delay` samples. Segments
// whose reference is near silence are skipped; each segment's SNR is clamped to -10..80 dB.
double SegmentalSnr(const std::vector<int16_t>& reference, const std::vector<int16_t>& test,
                    int delay);

}  // namespace codec_test
