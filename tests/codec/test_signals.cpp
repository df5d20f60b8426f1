#include "tests/codec/test_signals.h"

#include <cmath>
#include <numbers>

namespace codec_test {

std::vector<int16_t> SyntheticVoice(int frames, double pitchHz, double level) {
    constexpr double kPi = std::numbers::pi;
    std::vector<int16_t> out(static_cast<size_t>(frames) * 80);
    double phase = 0.0;
    uint32_t noise = 12345;
    for (size_t n = 0; n < out.size(); ++n) {
        const double t = n / 8000.0;
        phase += 2.0 * kPi * pitchHz * (1.0 + 0.05 * std::sin(2.0 * kPi * 0.7 * t)) / 8000.0;
        double v = 0.0;
        for (int k = 1; k <= 12; ++k) v += std::sin(k * phase) / k;
        noise = noise * 1664525u + 1013904223u;
        const double envelope = 0.55 + 0.45 * std::sin(2.0 * kPi * 2.0 * t);
        out[n] = static_cast<int16_t>(level * envelope * v + double((noise >> 16) % 400) - 200.0);
    }
    return out;
}

}  // namespace codec_test
