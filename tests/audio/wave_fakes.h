#pragma once
#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "audio/wave_device_factory.h"
#include "platform/clock.h"

// What a hand-driven device saw, and the buffers it holds.
struct ManualDeviceLog {
    std::vector<std::string> calls;
    uint32_t openResult = kWaveOk;
    std::deque<WaveBuffer*> queued;
    WaveProc proc = nullptr;
    void* instance = nullptr;

    // Hands the oldest queued buffer back with `bytes` recorded.
    WaveBuffer* ReturnOldest(uint32_t message, uint32_t bytes);
    size_t Count(const std::string& call) const;
};

// Devices that only move when the test says so; both directions share one log.
class ManualWaveFactory : public WaveDeviceFactory {
public:
    std::unique_ptr<WaveInDevice> CreateWaveIn() override;
    std::unique_ptr<WaveOutDevice> CreateWaveOut() override;

    std::shared_ptr<ManualDeviceLog> log = std::make_shared<ManualDeviceLog>();
    int created = 0;
};

// Records each wait in the log instead of sleeping.
class LoggingSleeper : public platform::Sleeper {
public:
    explicit LoggingSleeper(std::shared_ptr<ManualDeviceLog> log) : log_(std::move(log)) {}
    void SleepMs(uint32_t ms) override { log_->calls.push_back("Sleep " + std::to_string(ms)); }

private:
    std::shared_ptr<ManualDeviceLog> log_;
};

// Skips every wait.
class NoSleeper : public platform::Sleeper {
public:
    void SleepMs(uint32_t) override {}
};
