#pragma once

class CBufferMonitor;
class PlaybackFeed;

// Microphone capture into a queue and speaker playback from a feed. Stopping
// waits until the device callbacks have gone quiet.
class TalkAudio {
public:
    virtual ~TalkAudio() = default;
    virtual void StartCapture(CBufferMonitor* target) = 0;
    // Stops capture, then restarts the capture time stamps and detaches the target.
    virtual void StopCapture() = 0;
    virtual void StartPlayback(PlaybackFeed* feed) = 0;
    virtual void StopPlayback() = 0;
};
