#include "audio/stream_wave_devices.h"
#include "audio/wave_device_factory.h"
#include "audio/win/winmm_stream.h"

namespace {

class WinmmWaveDeviceFactory final : public WaveDeviceFactory {
public:
    std::unique_ptr<WaveInDevice> CreateWaveIn() override {
        return std::make_unique<StreamWaveIn<WinmmStream<WinmmIn>>>();
    }
    std::unique_ptr<WaveOutDevice> CreateWaveOut() override {
        return std::make_unique<StreamWaveOut<WinmmStream<WinmmOut>>>();
    }
};

}  // namespace

std::shared_ptr<WaveDeviceFactory> PlatformWaveDeviceFactory() {
    return std::make_shared<WinmmWaveDeviceFactory>();
}
