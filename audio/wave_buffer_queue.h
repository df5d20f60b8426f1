#pragma once
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>

#include "audio/wave_device.h"

// Buffer circulation shared by the backends that run a device on a thread of
// their own: preparation, the queue of added buffers in order, and delivery
// of the callback messages. Every call takes the lock; messages are delivered
// without it, so the callback may add buffers back or unprepare them.
class WaveBufferQueue {
public:
    // Messages go to proc from now on; the open message is delivered at once.
    void Open(WaveProc proc, void* instance, uint32_t openMessage);
    // Stops accepting buffers and returns the queued ones without messages.
    void Close(uint32_t closeMessage);
    bool IsOpen() const;

    uint32_t Prepare(WaveBuffer* buffer);
    uint32_t Unprepare(WaveBuffer* buffer);
    uint32_t Add(WaveBuffer* buffer);
    // Returns every queued buffer, marked done, with the given message.
    void ReturnAll(uint32_t message);
    // Marks the head done, removes it and delivers the message.
    void Complete(WaveBuffer* head, uint32_t message);

    std::mutex& Mutex() { return lock_; }
    std::condition_variable& Changed() { return changed_; }
    // Under the lock: the buffer the device works on next, or null.
    WaveBuffer* HeadLocked() const { return queue_.empty() ? nullptr : queue_.front(); }

private:
    void Deliver(uint32_t message, WaveBuffer* buffer) const;

    mutable std::mutex lock_;
    std::condition_variable changed_;
    std::deque<WaveBuffer*> queue_;
    WaveProc proc_ = nullptr;
    void* instance_ = nullptr;
    bool open_ = false;
};
