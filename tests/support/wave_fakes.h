#pragma once
#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "audio/wave_device_factory.h"
#include "tests/support/event_log.h"

// What a hand-driven device saw, and the buffers it holds.
struct ManualDeviceLog {
    support::EventLog calls;
    uint32_t openResult = kWaveOk;
    std::deque<WaveBuffer*> queued;
    WaveProc proc = nullptr;
    void* instance = nullptr;

    // Hands the oldest queued buffer back with `bytes` recorded.
    WaveBuffer* ReturnOldest(uint32_t message, uint32_t bytes);
};

// Devices that only move when the test says so; both directions share one log.
class ManualWaveFactory : public WaveDeviceFactory {
public:
    std::unique_ptr<WaveInDevice> CreateWaveIn() override;
    std::unique_ptr<WaveOutDevice> CreateWaveOut() override;

    std::shared_ptr<ManualDeviceLog> log = std::make_shared<ManualDeviceLog>();
    int created = 0;
};
