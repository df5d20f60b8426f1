#include "audio/linux/alsa_stream.h"
#include "audio/wave_device_factory.h"

namespace {

constexpr const char* kPcmName = "default";

class AlsaWaveIn final : public WaveInDevice {
public:
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
    AlsaStream stream_{kPcmName, SND_PCM_STREAM_CAPTURE, {kWimOpen, kWimClose, kWimData}};
};

class AlsaWaveOut final : public WaveOutDevice {
public:
    uint32_t Open(const WaveFormat& format, WaveProc proc, void* instance) override {
        return stream_.Open(format, proc, instance);
    }
    uint32_t Prepare(WaveBuffer* buffer) override { return stream_.Prepare(buffer); }
    uint32_t Unprepare(WaveBuffer* buffer) override { return stream_.Unprepare(buffer); }
    uint32_t Write(WaveBuffer* buffer) override { return stream_.Add(buffer); }
    uint32_t Reset() override { return stream_.Reset(); }
    uint32_t Close() override { return stream_.Close(); }

private:
    AlsaStream stream_{kPcmName, SND_PCM_STREAM_PLAYBACK, {kWomOpen, kWomClose, kWomDone}};
};

class AlsaWaveDeviceFactory final : public WaveDeviceFactory {
public:
    std::unique_ptr<WaveInDevice> CreateWaveIn() override { return std::make_unique<AlsaWaveIn>(); }
    std::unique_ptr<WaveOutDevice> CreateWaveOut() override { return std::make_unique<AlsaWaveOut>(); }
};

}  // namespace

std::shared_ptr<WaveDeviceFactory> PlatformWaveDeviceFactory() { return std::make_shared<AlsaWaveDeviceFactory>(); }
