#include "audio/wave_device_factory.h"

#include <mutex>

namespace {

std::mutex factoryLock;
std::shared_ptr<WaveDeviceFactory>& CurrentFactory() {
    static std::shared_ptr<WaveDeviceFactory> factory;
    return factory;
}

class CombinedFactory final : public WaveDeviceFactory {
public:
    CombinedFactory(std::shared_ptr<WaveDeviceFactory> capture, std::shared_ptr<WaveDeviceFactory> playback)
        : capture_(std::move(capture)), playback_(std::move(playback)) {}
    std::unique_ptr<WaveInDevice> CreateWaveIn() override { return capture_->CreateWaveIn(); }
    std::unique_ptr<WaveOutDevice> CreateWaveOut() override { return playback_->CreateWaveOut(); }

private:
    std::shared_ptr<WaveDeviceFactory> capture_;
    std::shared_ptr<WaveDeviceFactory> playback_;
};

}  // namespace

std::shared_ptr<WaveDeviceFactory> CombineWaveDeviceFactories(std::shared_ptr<WaveDeviceFactory> capture,
                                                              std::shared_ptr<WaveDeviceFactory> playback) {
    return std::make_shared<CombinedFactory>(std::move(capture), std::move(playback));
}

std::shared_ptr<WaveDeviceFactory> GetWaveDeviceFactory() {
    std::lock_guard guard(factoryLock);
    auto& factory = CurrentFactory();
    if (!factory) factory = PlatformWaveDeviceFactory();
    return factory;
}

void SetWaveDeviceFactory(std::shared_ptr<WaveDeviceFactory> factory) {
    std::lock_guard guard(factoryLock);
    CurrentFactory() = std::move(factory);
}
