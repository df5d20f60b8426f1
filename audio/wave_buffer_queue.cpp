#include "audio/wave_buffer_queue.h"

#include <vector>

void WaveBufferQueue::Open(WaveProc proc, void* instance, uint32_t openMessage) {
    {
        std::lock_guard guard(lock_);
        proc_ = proc;
        instance_ = instance;
        open_ = true;
    }
    Deliver(openMessage, nullptr);
}

void WaveBufferQueue::Close(uint32_t closeMessage) {
    {
        std::lock_guard guard(lock_);
        if (!open_) return;
        open_ = false;
        for (WaveBuffer* buffer : queue_) buffer->flags = (buffer->flags & ~kWaveBufferInQueue) | kWaveBufferDone;
        queue_.clear();
    }
    changed_.notify_all();
    Deliver(closeMessage, nullptr);
}

bool WaveBufferQueue::IsOpen() const {
    std::lock_guard guard(lock_);
    return open_;
}

uint32_t WaveBufferQueue::Prepare(WaveBuffer* buffer) {
    std::lock_guard guard(lock_);
    if (!open_) return kWaveInvalidHandle;
    if (!buffer || !buffer->data) return kWaveInvalidParam;
    if (buffer->flags & kWaveBufferInQueue) return kWaveStillPlaying;
    buffer->flags |= kWaveBufferPrepared;
    return kWaveOk;
}

uint32_t WaveBufferQueue::Unprepare(WaveBuffer* buffer) {
    std::lock_guard guard(lock_);
    if (!open_) return kWaveInvalidHandle;
    if (!buffer) return kWaveInvalidParam;
    if (buffer->flags & kWaveBufferInQueue) return kWaveStillPlaying;
    buffer->flags &= ~kWaveBufferPrepared;
    return kWaveOk;
}

uint32_t WaveBufferQueue::Add(WaveBuffer* buffer) {
    {
        std::lock_guard guard(lock_);
        if (!open_) return kWaveInvalidHandle;
        if (!buffer) return kWaveInvalidParam;
        if (!(buffer->flags & kWaveBufferPrepared)) return kWaveUnprepared;
        if (buffer->flags & kWaveBufferInQueue) return kWaveStillPlaying;
        buffer->flags = (buffer->flags & ~kWaveBufferDone) | kWaveBufferInQueue;
        queue_.push_back(buffer);
    }
    changed_.notify_all();
    return kWaveOk;
}

void WaveBufferQueue::ReturnAll(uint32_t message) {
    std::vector<WaveBuffer*> returned;
    {
        std::lock_guard guard(lock_);
        returned.assign(queue_.begin(), queue_.end());
        queue_.clear();
        for (WaveBuffer* buffer : returned) buffer->flags = (buffer->flags & ~kWaveBufferInQueue) | kWaveBufferDone;
    }
    for (WaveBuffer* buffer : returned) Deliver(message, buffer);
}

void WaveBufferQueue::Complete(WaveBuffer* head, uint32_t message) {
    {
        std::lock_guard guard(lock_);
        if (queue_.empty() || queue_.front() != head) return;  // taken back by a reset meanwhile
        queue_.pop_front();
        head->flags = (head->flags & ~kWaveBufferInQueue) | kWaveBufferDone;
    }
    Deliver(message, head);
}

void WaveBufferQueue::Deliver(uint32_t message, WaveBuffer* buffer) const {
    WaveProc proc;
    void* instance;
    {
        std::lock_guard guard(lock_);
        proc = proc_;
        instance = instance_;
    }
    if (proc) proc(message, instance, buffer);
}
