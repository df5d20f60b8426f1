#include "audio/linux/alsa_stream.h"
#include "audio/stream_wave_devices.h"
#include "audio/wave_device_factory.h"

namespace {

constexpr const char* kPcmName = "default";

class AlsaWaveDeviceFactory final : public WaveDeviceFactory {
public:
    std::unique_ptr<WaveInDevice> CreateWaveIn() override {
        return std::make_unique<StreamWaveIn<AlsaStream>>(kPcmName, SND_PCM_STREAM_CAPTURE,
                                                          AlsaStream::Messages{kWimOpen, kWimClose, kWimData});
    }
    std::unique_ptr<WaveOutDevice> CreateWaveOut() override {
        return std::make_unique<StreamWaveOut<AlsaStream>>(kPcmName, SND_PCM_STREAM_PLAYBACK,
                                                           AlsaStream::Messages{kWomOpen, kWomClose, kWomDone});
    }
};

}  // namespace

std::shared_ptr<WaveDeviceFactory> PlatformWaveDeviceFactory() { return std::make_shared<AlsaWaveDeviceFactory>(); }
