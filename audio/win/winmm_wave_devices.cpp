#include "audio/wave_device_factory.h"
#include "audio/win/winmm_stream.h"

namespace {

class WinmmWaveIn final : public WaveInDevice {
public:
    uint32_t Open(const WaveFormat& format, WaveProc proc, void* instance) override {
        return stream_.Open(format, proc, instance);
    }
    uint32_t Prepare(WaveBuffer* buffer) override { return stream_.Prepare(buffer); }
    uint32_t Unprepare(WaveBuffer* buffer) override { return stream_.Unprepare(buffer); }
    uint32_t AddBuffer(WaveBuffer* buffer) override { return stream_.Queue(buffer); }
    uint32_t Start() override { return waveInStart(stream_.Handle()); }
    uint32_t Reset() override { return stream_.Reset(); }
    uint32_t Close() override { return stream_.Close(); }

private:
    WinmmStream<WinmmIn> stream_;
};

class WinmmWaveOut final : public WaveOutDevice {
public:
    uint32_t Open(const WaveFormat& format, WaveProc proc, void* instance) override {
        return stream_.Open(format, proc, instance);
    }
    uint32_t Prepare(WaveBuffer* buffer) override { return stream_.Prepare(buffer); }
    uint32_t Unprepare(WaveBuffer* buffer) override { return stream_.Unprepare(buffer); }
    uint32_t Write(WaveBuffer* buffer) override { return stream_.Queue(buffer); }
    uint32_t Reset() override { return stream_.Reset(); }
    uint32_t Close() override { return stream_.Close(); }

private:
    WinmmStream<WinmmOut> stream_;
};

class WinmmWaveDeviceFactory final : public WaveDeviceFactory {
public:
    std::unique_ptr<WaveInDevice> CreateWaveIn() override { return std::make_unique<WinmmWaveIn>(); }
    std::unique_ptr<WaveOutDevice> CreateWaveOut() override { return std::make_unique<WinmmWaveOut>(); }
};

}  // namespace

std::shared_ptr<WaveDeviceFactory> PlatformWaveDeviceFactory() {
    return std::make_shared<WinmmWaveDeviceFactory>();
}
