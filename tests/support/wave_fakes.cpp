#include "tests/support/wave_fakes.h"

namespace {

// The calls common to both directions, logged.
template <class Base>
class ManualDevice : public Base {
public:
    explicit ManualDevice(std::shared_ptr<ManualDeviceLog> log) : log_(std::move(log)) {}

    uint32_t Open(const WaveFormat&, WaveProc proc, void* instance) override {
        log_->calls.Add("Open");
        log_->proc = proc;
        log_->instance = instance;
        return log_->openResult;
    }
    uint32_t Prepare(WaveBuffer* buffer) override {
        log_->calls.Add("Prepare");
        buffer->flags |= kWaveBufferPrepared;
        return kWaveOk;
    }
    uint32_t Unprepare(WaveBuffer* buffer) override {
        log_->calls.Add("Unprepare");
        buffer->flags &= ~kWaveBufferPrepared;
        return kWaveOk;
    }
    uint32_t Reset() override {
        log_->calls.Add("Reset");
        return kWaveOk;
    }
    uint32_t Close() override {
        log_->calls.Add("Close");
        return kWaveOk;
    }

protected:
    uint32_t Queue(const char* call, WaveBuffer* buffer) {
        log_->calls.Add(call);
        log_->queued.push_back(buffer);
        return kWaveOk;
    }
    std::shared_ptr<ManualDeviceLog> log_;
};

class ManualWaveIn final : public ManualDevice<WaveInDevice> {
public:
    using ManualDevice::ManualDevice;
    uint32_t AddBuffer(WaveBuffer* buffer) override { return Queue("AddBuffer", buffer); }
    uint32_t Start() override {
        log_->calls.Add("Start");
        return kWaveOk;
    }
};

class ManualWaveOut final : public ManualDevice<WaveOutDevice> {
public:
    using ManualDevice::ManualDevice;
    uint32_t Write(WaveBuffer* buffer) override { return Queue("Write", buffer); }
};

}  // namespace

WaveBuffer* ManualDeviceLog::ReturnOldest(uint32_t message, uint32_t bytes) {
    if (queued.empty()) return nullptr;
    WaveBuffer* buffer = queued.front();
    queued.pop_front();
    buffer->bytesRecorded = bytes;
    proc(message, instance, buffer);
    return buffer;
}

std::unique_ptr<WaveInDevice> ManualWaveFactory::CreateWaveIn() {
    ++created;
    return std::make_unique<ManualWaveIn>(log);
}

std::unique_ptr<WaveOutDevice> ManualWaveFactory::CreateWaveOut() {
    ++created;
    return std::make_unique<ManualWaveOut>(log);
}
