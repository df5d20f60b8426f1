#pragma once
#include <cstdint>

class VirtualStream;

// The time of a set of virtual devices, and what completes their buffers as
// they fall due: the real clock, or a test's stepped one. Streams attach when
// they open and detach when they close; a device must not be closed from a
// callback of its own set, since the clock may be completing its buffers.
class VirtualClock {
public:
    virtual ~VirtualClock() = default;
    virtual uint64_t NowMicros() const = 0;
    // Where a stream starting at `now`, or waking from idle, begins its first buffer.
    virtual uint64_t StartMicros(uint64_t now) const { return now; }
    virtual void Attach(VirtualStream* stream) = 0;
    // Once this returns, the clock no longer touches the stream.
    virtual void Detach(VirtualStream* stream) = 0;
    // A stream's next due time may have moved.
    virtual void Changed() {}
};
