#pragma once
#include <memory>
#include <string>

#include "audio/virtual/pcm_stream.h"
#include "audio/virtual/wave_test_clock.h"
#include "audio/wave_device_factory.h"

// Devices without sound hardware, on every platform: the microphone plays
// `mic` (then silence; silence throughout without one), the speaker writes
// into `speaker` (or nowhere). Paced by the real clock, one thread for all
// the devices of a factory, unless a test clock is given. Only 8000 Hz mono
// 16-bit PCM opens.
struct VirtualWaveConfig {
    std::shared_ptr<PcmSource> mic;
    std::shared_ptr<PcmSink> speaker;
    std::shared_ptr<WaveTestClock> clock;
};

std::shared_ptr<WaveDeviceFactory> MakeVirtualWaveDeviceFactory(VirtualWaveConfig config);

// For a host program: the microphone plays a PCM file and the speaker writes
// one, paced by the real clock; an empty path takes the sound card's device
// instead. Null when a file cannot be opened or created.
std::shared_ptr<WaveDeviceFactory> MakeFileOrDeviceWaveFactory(const std::string& micFile,
                                                               const std::string& speakerFile);
