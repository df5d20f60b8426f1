#pragma once
// Controllable stand-ins for the engine's timer, sleeper, devices and session.
#include <condition_variable>
#include <mutex>
#include <string>
#include <vector>

#include "talk/talk_engine.h"
#include "tests/support/event_log.h"
#include "tests/support/sleepers.h"

// A timer that fires only when the test says so.
class ManualTimer final : public platform::PeriodicTimer {
public:
    explicit ManualTimer(support::EventLog& log) : log_(log) {}
    void Start(uint32_t firstDueMs, uint32_t periodMs) override;
    void Cancel() override;
    bool Wait(uint32_t timeoutMs) override;
    // Releases one waiter and returns once it has handled the tick.
    void Tick();
    // Whether a thread waits for the next tick.
    bool HasWaiter();

private:
    support::EventLog& log_;
    std::mutex mutex_;
    std::condition_variable changed_;
    int pending_ = 0;
    bool waiting_ = false;
};

// Devices that only log; the queue and the feed they were given are where a
// microphone would write and a speaker read.
class RecordingAudio final : public TalkAudio {
public:
    explicit RecordingAudio(support::EventLog& log) : log_(log) {}
    void StartCapture(CBufferMonitor* target) override;
    void StopCapture() override { log_.Add("capture stop"); }
    void StartPlayback(PlaybackFeed* feed) override;
    void StopPlayback() override { log_.Add("playback stop"); }

    CBufferMonitor* captureQueue = nullptr;
    PlaybackFeed* playbackFeed = nullptr;

private:
    support::EventLog& log_;
};

// Logs what the engine asks of it; End hands an 8-byte RTCP packet to the host after a talk.
class RecordingSession final : public TalkSession {
public:
    RecordingSession(support::EventLog& log, PacketSender send) : log_(log), send_(std::move(send)) {}
    void Begin(uint16_t port) override;
    void End() override;
    void AddDestination(const char* ip, uint16_t port) override;
    void RemoveDestination(const char* ip, uint16_t port) override;
    void SendVoice(std::span<const uint8_t> block) override;
    void SendSenderReport() override { log_.Add("report SR"); }
    void SendReceiverReport() override { log_.Add("report RR"); }
    void ReceiveRtp(uint32_t ip, uint16_t port, std::span<const uint8_t> datagram) override;
    void ReceiveRtcp(uint32_t ip, uint16_t port, std::span<const uint8_t> datagram) override;

    std::vector<std::vector<uint8_t>> voice;

private:
    support::EventLog& log_;
    PacketSender send_;
    bool talking_ = false;
};

// Services wired to the fakes above, which are kept for the test to drive and inspect.
struct FakeServices {
    TalkEngineServices Make();

    support::EventLog log;
    support::RecordingSleeper sleeper{log};
    ManualTimer* timer = nullptr;
    RecordingAudio* audio = nullptr;
    RecordingSession* session = nullptr;
    rtp::ReceiveStreams* received = nullptr;  // where the session would put received voice
};
