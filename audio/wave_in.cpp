#include "audio/wave_in.h"

#include <algorithm>
#include <cstring>

#include "audio/buffer_monitor.h"
#include "platform/clock.h"

CWaveIn::CWaveIn(WaveDeviceSetup setup, WaveInConfig config)
    : setup_(std::move(setup)),
      bufferSize_(config.bufferSize),
      sleeper_(setup_.sleeper ? *setup_.sleeper : platform::SystemSleeper()),
      buffers_(new uint8_t[kBufferCount * size_t(bufferSize_)]()) {
    if (config.encode) codec_.emplace();
}

CWaveIn::~CWaveIn() {
    if (running_) Stop();
}

bool CWaveIn::Start() {
    if (open_) return true;  // already recording into these buffers
    device_ = (setup_.factory ? setup_.factory : GetWaveDeviceFactory())->CreateWaveIn();
    device_->Open(format_, &CWaveIn::Callback, this);
    for (int i = 0; i < kBufferCount; ++i) {
        WaveBuffer& header = headers_[size_t(i)];
        header = WaveBuffer{};
        header.data = buffers_.get() + i * size_t(bufferSize_);
        header.length = bufferSize_;
        device_->Prepare(&header);
        device_->AddBuffer(&header);
    }
    device_->Start();
    open_ = true;
    return true;
}

void CWaveIn::Stop() {
    if (!running_) return;
    running_ = false;
    sleeper_.SleepMs(kStopWaitMs);  // lets callbacks in flight finish
    if (!device_) return;
    device_->Reset();
    device_->Close();
    open_ = false;
}

void CWaveIn::Callback(uint32_t message, void* instance, WaveBuffer* buffer) {
    auto* self = static_cast<CWaveIn*>(instance);
    if (!self->running_ || message != kWimData) return;
    self->OnData(buffer);
}

void CWaveIn::OnData(WaveBuffer* buffer) {
    CBufferMonitor* target = target_;
    if (!target) {
        device_->Unprepare(buffer);
        return;
    }
    const uint32_t stamp = timeStamp_ += kStampStep;
    if (codec_)
        QueueEncoded(target, buffer, stamp);
    else
        QueueRaw(target, buffer, stamp);
    buffer->bytesRecorded = 0;
    device_->AddBuffer(buffer);
}

void CWaveIn::QueueEncoded(CBufferMonitor* target, const WaveBuffer* buffer, uint32_t stamp) {
    // A short buffer (as during a reset) queues the previous frame again.
    if (buffer->data && buffer->bytesRecorded == kBufferSize) {
        int16_t samples[kSamplesPerFrame];
        std::memcpy(samples, buffer->data, sizeof samples);
        EncodeFrame(samples, frame_.data());
    }
    target->PushFrame(frame_.data(), kBytesPerFrame, stamp);
}

void CWaveIn::QueueRaw(CBufferMonitor* target, const WaveBuffer* buffer, uint32_t stamp) const {
    // A device never reports more than the buffer holds; trust it no further.
    const uint32_t bytes = std::min(buffer->bytesRecorded, bufferSize_);
    if (buffer->data && bytes) target->PushFrame(buffer->data, bytes, stamp);
}
