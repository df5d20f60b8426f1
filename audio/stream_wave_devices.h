#pragma once
#include <utility>

#include "audio/wave_device.h"

// Wave devices over a stream object that keeps the buffer circulation itself
// (Open, Prepare, Unprepare, Add, Start, Reset, Close), as every backend does.
template <typename Stream>
class StreamWaveIn final : public WaveInDevice {
public:
    template <typename... Args>
    explicit StreamWaveIn(Args&&... args) : stream_(std::forward<Args>(args)...) {}

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
    Stream stream_;
};

template <typename Stream>
class StreamWaveOut final : public WaveOutDevice {
public:
    template <typename... Args>
    explicit StreamWaveOut(Args&&... args) : stream_(std::forward<Args>(args)...) {}

    uint32_t Open(const WaveFormat& format, WaveProc proc, void* instance) override {
        return stream_.Open(format, proc, instance);
    }
    uint32_t Prepare(WaveBuffer* buffer) override { return stream_.Prepare(buffer); }
    uint32_t Unprepare(WaveBuffer* buffer) override { return stream_.Unprepare(buffer); }
    uint32_t Write(WaveBuffer* buffer) override { return stream_.Add(buffer); }
    uint32_t Reset() override { return stream_.Reset(); }
    uint32_t Close() override { return stream_.Close(); }

private:
    Stream stream_;
};
