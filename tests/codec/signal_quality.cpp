#include "tests/codec/signal_quality.h"

#include <algorithm>
#include <cmath>

namespace codec_test {

double Snr(const std::vector<int16_t>& reference, const std::vector<int16_t>& test) {
    const size_t n = std::min(reference.size(), test.size());
    double signal = 1e-9, noise = 1e-9;
    for (size_t i = 0; i < n; ++i) {
        const double e = double(reference[i]) - test[i];
        signal += double(reference[i]) * reference[i];
        noise += e * e;
    }
    return 10.0 * std::log10(signal / noise);
}

double SegmentalSnr(const std::vector<int16_t>& reference, const std::vector<int16_t>& test,
                    int delay) {
    constexpr size_t kSegment = 80;
    constexpr double kSilence = 80.0 * 100.0 * 100.0;  // RMS below 100
    double sum = 0.0;
    int count = 0;
    for (size_t start = 0; start + kSegment + delay <= test.size() &&
                           start + kSegment <= reference.size();
         start += kSegment) {
        double signal = 0.0, noise = 1e-9;
        for (size_t i = start; i < start + kSegment; ++i) {
            const double e = double(reference[i]) - test[i + delay];
            signal += double(reference[i]) * reference[i];
            noise += e * e;
        }
        if (signal < kSilence) continue;
        sum += std::clamp(10.0 * std::log10(signal / noise), -10.0, 80.0);
        ++count;
    }
    return count == 0 ? 0.0 : sum / count;
}

}  // namespace codec_test
