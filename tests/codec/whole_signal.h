#pragma once
#include <cstdint>
#include <vector>

// Whole-signal encode and decode through this codec (zero-padded to whole frames),
// each starting with a reset.
namespace codec_test {

std::vector<uint8_t> OurEncode(const std::vector<int16_t>& pcm);
std::vector<int16_t> OurDecode(const std::vector<uint8_t>& bits);

}  // namespace codec_test
