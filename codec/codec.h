#pragma once
#include <cstdint>

// The speech codec: 80 samples (10 ms at 8000 Hz) <-> one 10-byte frame.
// One encoder and one decoder state exist per process.

constexpr int kSamplesPerFrame = 80;
constexpr int kBytesPerFrame = 10;
constexpr int kParamsPerFrame = 11;

void InitEncoder();
void InitDecoder();
// Reads exactly 80 samples, writes exactly 10 bytes.
void EncodeFrame(const int16_t* samples, uint8_t* frame);
// Reads exactly 10 bytes, writes exactly 80 samples; badFrame != 0 conceals an erased frame.
void DecodeFrame(const uint8_t* frame, int16_t* samples, int badFrame);

void PackFrame(const int params[kParamsPerFrame], uint8_t frame[kBytesPerFrame]);
void UnpackFrame(const uint8_t frame[kBytesPerFrame], int params[kParamsPerFrame]);
