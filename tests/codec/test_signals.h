#pragma once
#include <cstdint>
#include <vector>

// Deterministic signals for tests that cannot rely on external tools.
namespace codec_test {

// A voiced-like signal: gliding harmonic series under a syllable-rate envelope, plus noise.
std::vector<int16_t> SyntheticVoice(int frames, double pitchHz = 120.0, double level = 4000.0);

}  // namespace codec_test
