#include "tests/audio/wave_fakes.h"

#include <algorithm>

namespace {

// The calls common to both directions, logged.
template <class Base>
class ManualDevice : public Base {
public:
    explicit ManualDevice(std::shared_ptr<ManualDeviceLog> log) : log_(std::move(log)) {}

    uint32_t Open(const WaveFormat&, WaveProc proc, void* instance) override {
        log_->calls.push_back("Open");
        log_->proc = proc;
        log_->instance = instance;
        return log_->openResult;
    }
    uint32_t Prepare(WaveBuffer* buffer) override {
        log_->calls.push_back("Prepare");
        buffer->flags |= kWaveBufferPrepared;
        return kWaveOk;
    }
    uint32_t Unprepare(WaveBuffer* buffer) override {
        log_->calls.push_back("Unprepare");
        buffer->flags &= ~kWaveBufferPrepared;
        return kWaveOk;
    }
    uint32_t Reset() override {
        log_->calls.push_back("Reset");
        return kWaveOk;
    }
    uint32_t Close() override {
        log_->calls.push_back("Close");
        return kWaveOk;
    }

protected:
    uint32_t Queue(const char* call, WaveBuffer* buffer) {
        log_->calls.push_back(call);
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
        log_->calls.push_back("Start");
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

size_t ManualDeviceLog::Count(const std::string& call) const {
    return size_t(std::count(calls.begin(), calls.end(), call));
}

std::unique_ptr<WaveInDevice> ManualWaveFactory::CreateWaveIn() {
    ++created;
    return std::make_unique<ManualWaveIn>(log);
}

std::unique_ptr<WaveOutDevice> ManualWaveFactory::CreateWaveOut() {
    ++created;
    return std::make_unique<ManualWaveOut>(log);
}
