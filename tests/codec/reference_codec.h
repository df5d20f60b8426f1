#pragma once
#include <cstdint>
#include <vector>

// Whole-signal encode and decode through libbcg729, the independent implementation, with
// the same framing as OurEncode/OurDecode.
namespace codec_test {

std::vector<uint8_t> ReferenceEncode(const std::vector<int16_t>& pcm);
std::vector<int16_t> ReferenceDecode(const std::vector<uint8_t>& bits);

}  // namespace codec_test
