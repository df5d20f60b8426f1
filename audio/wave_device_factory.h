#pragma once
#include <memory>

#include "audio/wave_device.h"

namespace platform {
class Sleeper;
}

// Makes the wave devices of one backend.
class WaveDeviceFactory {
public:
    virtual ~WaveDeviceFactory() = default;
    virtual std::unique_ptr<WaveInDevice> CreateWaveIn() = 0;
    virtual std::unique_ptr<WaveOutDevice> CreateWaveOut() = 0;
};

// The platform's own devices: winmm on Windows, ALSA's default PCM elsewhere.
std::shared_ptr<WaveDeviceFactory> PlatformWaveDeviceFactory();

// Capture from one backend and playback from another, e.g. a file as the
// microphone and the sound card as the speaker.
std::shared_ptr<WaveDeviceFactory> CombineWaveDeviceFactories(std::shared_ptr<WaveDeviceFactory> capture,
                                                              std::shared_ptr<WaveDeviceFactory> playback);

// The process-wide factory that device objects use unless given their own.
std::shared_ptr<WaveDeviceFactory> GetWaveDeviceFactory();
// Replaces it; null brings back the platform factory.
void SetWaveDeviceFactory(std::shared_ptr<WaveDeviceFactory> factory);

// Where CWaveIn and CWaveOut get their devices and their waits from.
struct WaveDeviceSetup {
    std::shared_ptr<WaveDeviceFactory> factory;  // null: the process-wide one at Start
    platform::Sleeper* sleeper = nullptr;        // null: the system sleeper
};
