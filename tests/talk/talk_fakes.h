#pragma once
// Controllable stand-ins for the engine's timer, sleeper, devices and session.
#include <condition_variable>
#include <mutex>
#include <string>
#include <vector>

#include "talk/talk_engine.h"

// Ordered record of what the fakes were asked to do, shared by all of them.
class EventLog {
public:
    void Add(std::string event);
    std::vector<std::string> Events() const;
    size_t Count(const std::string& event) const;
    void Clear();

private:
    mutable std::mutex mutex_;
    std::vector<std::string> events_;
};

class RecordingSleeper final : public platform::Sleeper {
public:
    explicit RecordingSleeper(EventLog& log) : log_(log) {}
    void SleepMs(uint32_t ms) override { log_.Add("sleep " + std::to_string(ms)); }

private:
    EventLog& log_;
};

// A timer that fires only when the test says so.
class ManualTimer final : public platform::PeriodicTimer {
public:
    explicit ManualTimer(EventLog& log) : log_(log) {}
    void Start(uint32_t firstDueMs, uint32_t periodMs) override;
    void Cancel() override;
    bool Wait(uint32_t timeoutMs) override;
    // Releases one waiter and returns once it has handled the tick.
    void Tick();

private:
    EventLog& log_;
    std::mutex mutex_;
    std::condition_variable changed_;
    int pending_ = 0;
    bool waiting_ = false;
};

class RecordingAudio final : public TalkAudio {
public:
    explicit RecordingAudio(EventLog& log) : log_(log) {}
    void StartCapture(CBufferMonitor*) override { log_.Add("capture start"); }
    void StopCapture() override { log_.Add("capture stop"); }
    void StartPlayback(CBufferMonitor*) override { log_.Add("playback start"); }
    void StopPlayback() override { log_.Add("playback stop"); }

private:
    EventLog& log_;
};

struct SentVoice {
    std::vector<uint8_t> block;
};

class RecordingSession final : public TalkSession {
public:
    RecordingSession(EventLog& log, TalkSessionSetup setup);
    ~RecordingSession() override;
    void AddDestination(const char* ip, uint16_t port) override;
    void RemoveDestination(const char* ip, uint16_t port) override;
    void SendVoice(const uint8_t* block, int32_t length) override;
    void SendSenderReport() override { log_.Add("report SR"); }
    void SendReceiverReport() override { log_.Add("report RR"); }
    void SendBye() override;
    void OnRtp(uint32_t ip, uint16_t port, const uint8_t* data, int32_t length) override;
    void OnRtcp(uint32_t ip, uint16_t port, const uint8_t* data, int32_t length) override;

    TalkSessionSetup setup;
    std::vector<std::vector<uint8_t>> voice;

private:
    EventLog& log_;
};

// Services wired to the fakes above; the last session made is kept for inspection.
struct FakeServices {
    FakeServices();
    TalkEngineServices Make();

    EventLog log;
    RecordingSleeper sleeper{log};
    ManualTimer* timer = nullptr;
    RecordingSession* session = nullptr;
};
