#pragma once

class CBufferMonitor;

// Microphone capture into a queue and speaker playback from a queue. Stopping
// waits until the device callbacks have gone quiet.
class TalkAudio {
public:
    virtual ~TalkAudio() = default;
    virtual void StartCapture(CBufferMonitor* target) = 0;
    // Stops capture, then restarts the capture time stamps and detaches the target.
    virtual void StopCapture() = 0;
    virtual void StartPlayback(CBufferMonitor* source) = 0;
    virtual void StopPlayback() = 0;
};
