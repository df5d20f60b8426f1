#pragma once
#include <cstdint>
#include <vector>

// Whole-signal encode and decode through this codec (zero-padded to whole frames).
namespace codec_test {

// Through the process-wide codec, each starting with a reset.
std::vector<uint8_t> OurEncode(const std::vector<int16_t>& pcm);
std::vector<int16_t> OurDecode(const std::vector<uint8_t>& bits);

// Through a fresh stream: the state a new process has, whatever this one encoded or
// decoded before (a reset keeps some state).
std::vector<uint8_t> FreshEncode(const std::vector<int16_t>& pcm);
std::vector<int16_t> FreshDecode(const std::vector<uint8_t>& bits);

}  // namespace codec_test
