#include "audio/virtual/virtual_wave_devices.h"

#include <algorithm>

#include "audio/stream_wave_devices.h"
#include "audio/virtual/real_time_wave_clock.h"
#include "audio/virtual/virtual_stream.h"

namespace {

// The microphone: the configured PCM, or silence without one.
VirtualStream::Transfer Recorder(std::shared_ptr<PcmSource> mic) {
    return [mic = std::move(mic)](WaveBuffer& buffer) {
        if (mic)
            mic->Read(buffer.data, buffer.length);
        else
            std::fill_n(buffer.data, buffer.length, uint8_t(0));
        buffer.bytesRecorded = buffer.length;
    };
}

// The speaker: into the configured sink, or nowhere.
VirtualStream::Transfer Player(std::shared_ptr<PcmSink> speaker) {
    return [speaker = std::move(speaker)](WaveBuffer& buffer) {
        if (speaker) speaker->Write(buffer.data, buffer.length);
    };
}

class VirtualWaveDeviceFactory final : public WaveDeviceFactory {
public:
    explicit VirtualWaveDeviceFactory(VirtualWaveConfig config)
        : config_(std::move(config)),
          clock_(config_.clock ? std::shared_ptr<VirtualClock>(config_.clock) : std::make_shared<RealTimeWaveClock>()) {}
    std::unique_ptr<WaveInDevice> CreateWaveIn() override {
        return std::make_unique<StreamWaveIn<VirtualStream>>(VirtualStream::Messages{kWimOpen, kWimClose, kWimData},
                                                             true, Recorder(config_.mic), clock_);
    }
    std::unique_ptr<WaveOutDevice> CreateWaveOut() override {
        return std::make_unique<StreamWaveOut<VirtualStream>>(
            VirtualStream::Messages{kWomOpen, kWomClose, kWomDone}, false, Player(config_.speaker), clock_);
    }

private:
    VirtualWaveConfig config_;
    std::shared_ptr<VirtualClock> clock_;  // one for all the factory's devices
};

}  // namespace

std::shared_ptr<WaveDeviceFactory> MakeVirtualWaveDeviceFactory(VirtualWaveConfig config) {
    return std::make_shared<VirtualWaveDeviceFactory>(std::move(config));
}

std::shared_ptr<WaveDeviceFactory> MakeFileOrDeviceWaveFactory(const std::string& micFile,
                                                               const std::string& speakerFile) {
    VirtualWaveConfig files;
    if (!micFile.empty() && !(files.mic = PcmSource::FromFile(micFile))) return nullptr;
    if (!speakerFile.empty() && !(files.speaker = PcmSink::ToFile(speakerFile))) return nullptr;
    const auto virtualDevices = MakeVirtualWaveDeviceFactory(files);
    const auto platform = PlatformWaveDeviceFactory();
    return CombineWaveDeviceFactories(micFile.empty() ? platform : virtualDevices,
                                      speakerFile.empty() ? platform : virtualDevices);
}
