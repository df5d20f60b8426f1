#include "audio/virtual/virtual_wave_devices.h"

#include <algorithm>

#include "audio/virtual/virtual_stream.h"

namespace {

class VirtualWaveIn final : public WaveInDevice {
public:
    explicit VirtualWaveIn(const VirtualWaveConfig& config)
        : stream_({kWimOpen, kWimClose, kWimData}, true, Recorder(config.mic), config.clock) {}

    uint32_t Open(const WaveFormat& format, WaveProc proc, void* instance) override {
        return stream_.Open(format, proc, instance);
    }
    uint32_t Prepare(WaveBuffer* buffer) override { return stream_.Prepare(buffer); }
    uint32_t Unprepare(WaveBuffer* buffer) override { return stream_.Unprepare(buffer); }
    uint32_t AddBuffer(WaveBuffer* buffer) override { return stream_.Add(buffer); }
    uint32_t Start() override { return stream_.Start(); }
    uint32_t Reset() override { return stream_.Reset(); }
    uint32_t Close() override { return stream_.Close(); }

private:
    static VirtualStream::Transfer Recorder(std::shared_ptr<PcmSource> mic) {
        return [mic = std::move(mic)](WaveBuffer& buffer) {
            if (mic)
                mic->Read(buffer.data, buffer.length);
            else
                std::fill_n(buffer.data, buffer.length, uint8_t(0));
            buffer.bytesRecorded = buffer.length;
        };
    }

    VirtualStream stream_;
};

class VirtualWaveOut final : public WaveOutDevice {
public:
    explicit VirtualWaveOut(const VirtualWaveConfig& config)
        : stream_({kWomOpen, kWomClose, kWomDone}, false, Player(config.speaker), config.clock) {}

    uint32_t Open(const WaveFormat& format, WaveProc proc, void* instance) override {
        return stream_.Open(format, proc, instance);
    }
    uint32_t Prepare(WaveBuffer* buffer) override { return stream_.Prepare(buffer); }
    uint32_t Unprepare(WaveBuffer* buffer) override { return stream_.Unprepare(buffer); }
    uint32_t Write(WaveBuffer* buffer) override { return stream_.Add(buffer); }
    uint32_t Reset() override { return stream_.Reset(); }
    uint32_t Close() override { return stream_.Close(); }

private:
    static VirtualStream::Transfer Player(std::shared_ptr<PcmSink> speaker) {
        return [speaker = std::move(speaker)](WaveBuffer& buffer) {
            if (speaker) speaker->Write(buffer.data, buffer.length);
        };
    }

    VirtualStream stream_;
};

class VirtualWaveDeviceFactory final : public WaveDeviceFactory {
public:
    explicit VirtualWaveDeviceFactory(VirtualWaveConfig config) : config_(std::move(config)) {}
    std::unique_ptr<WaveInDevice> CreateWaveIn() override { return std::make_unique<VirtualWaveIn>(config_); }
    std::unique_ptr<WaveOutDevice> CreateWaveOut() override { return std::make_unique<VirtualWaveOut>(config_); }

private:
    VirtualWaveConfig config_;
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
