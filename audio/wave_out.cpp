#include "audio/wave_out.h"

#include <algorithm>
#include <cstring>

#include "audio/buffer_monitor.h"
#include "platform/clock.h"

CWaveOut::CWaveOut(WaveDeviceSetup setup, WaveOutConfig config)
    : setup_(std::move(setup)),
      config_(config),
      sleeper_(setup_.sleeper ? *setup_.sleeper : platform::SystemSleeper()),
      buffers_(new uint8_t[kBufferCount * kBufferSize]()) {
    if (config_.decode) codec_.emplace();
}

CWaveOut::~CWaveOut() {
    if (playing_) Stop();
}

void CWaveOut::Start() {
    if ((!source_ && !feed_) || playing_) return;
    if (!feed_) {
        reader_ = config_.readerStart == WaveOutConfig::ReaderStart::Oldest ? source_->OpenReaderAtOldest()
                                                                            : source_->OpenReader();
        readerSource_ = source_;
    }
    device_ = (setup_.factory ? setup_.factory : GetWaveDeviceFactory())->CreateWaveOut();
    device_->Open(format_, &CWaveOut::Callback, this);
    // Each talk starts with silence, not with the end of the previous one.
    std::memset(buffers_.get(), 0, kBufferCount * kBufferSize);
    for (int i = 0; i < kBufferCount; ++i) {
        WaveBuffer& header = headers_[size_t(i)];
        header = WaveBuffer{};
        header.data = buffers_.get() + i * kBufferSize;
        header.length = kBufferSize;
        device_->Prepare(&header);
    }
    playing_ = true;
    for (WaveBuffer& header : headers_) device_->Write(&header);
}

void CWaveOut::Stop() {
    if (!playing_) return;
    playing_ = false;
    sleeper_.SleepMs(kStopWaitMs);  // the queued 240 ms drain, callbacks in flight return
    // A device that did not drain in time must not keep buffers that are about to go.
    device_->Reset();
    for (WaveBuffer& header : headers_) device_->Unprepare(&header);
    device_->Close();
    if (reader_ && readerSource_) readerSource_->CloseReader(reader_);
    reader_ = nullptr;
    readerSource_ = nullptr;
}

void CWaveOut::Callback(uint32_t message, void* instance, WaveBuffer* buffer) {
    auto* self = static_cast<CWaveOut*>(instance);
    if (!self->playing_ || message != kWomDone) return;
    self->OnDone(buffer);
}

void CWaveOut::OnDone(WaveBuffer* buffer) {
    device_->Unprepare(buffer);
    Fill(buffer);
    device_->Prepare(buffer);
    device_->Write(buffer);
}

void CWaveOut::Fill(WaveBuffer* buffer) {
    if (feed_) return FillFromFeed(buffer);
    const uint8_t* block = readerSource_ ? readerSource_->ReadNext(reader_) : nullptr;
    const uint32_t length = block ? ReadFrameBlockHeader(block).length : 0;
    if (!block || length > kBlockDataSize) {
        std::memset(buffer->data, 0, kBufferSize);  // underrun: silence
        return;
    }
    std::memcpy(blockData_.data(), FrameBlockData(block), length);
    if (codec_) {
        FillDecoded(buffer, blockData_.data(), length);
        return;
    }
    // Raw PCM; a short block ends in silence rather than in what the buffer played before.
    const uint32_t played = std::min(length, kBufferSize);
    std::memcpy(buffer->data, blockData_.data(), played);
    std::memset(buffer->data + played, 0, kBufferSize - played);
}

void CWaveOut::FillDecoded(WaveBuffer* buffer, const uint8_t* data, uint32_t length) {
    // Any length but one whole block leaves the previous audio in place.
    codec_->Decode(data, int32_t(length), decoded_.data(), nullptr);
    std::memcpy(buffer->data, decoded_.data(), kBufferSize);
}

void CWaveOut::FillFromFeed(WaveBuffer* buffer) {
    if (feed_->Fill(decoded_))
        std::memcpy(buffer->data, decoded_.data(), kBufferSize);
    else
        std::memset(buffer->data, 0, kBufferSize);
}
