#pragma once
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <thread>

#include "audio/buffer_monitor.h"
#include "audio/mixer/talk_mixer.h"
#include "platform/clock.h"
#include "platform/periodic_timer.h"
#include "talk/rtp_session.h"
#include "talk/talk_audio.h"
#include "talk/talk_session.h"

// What an engine is built from; tests replace any of it.
struct TalkEngineServices {
    platform::Sleeper* sleeper = nullptr;
    std::function<std::unique_ptr<platform::PeriodicTimer>()> makeTimer;
    std::function<std::unique_ptr<TalkAudio>()> makeAudio;
    std::function<std::unique_ptr<TalkMixer>()> makeMixer;
    TalkSessionFactory makeSession;
};

TalkEngineServices DefaultTalkEngineServices();
// The RTP session of a talk, on the system clock.
std::unique_ptr<TalkSession> MakeRtpSession(TalkSessionSetup setup);

// One voice engine: the capture and playback queues, the audio devices, the
// sender thread and the session of the running talk.
struct TalkEngine {
    static constexpr int32_t kSendBufferSize = 1024;
    static constexpr uint32_t kTickMs = 5;
    static constexpr int kTicksPerReport = 1001;
    static constexpr uint32_t kSenderStopWaitMs = 100;

    explicit TalkEngine(TalkEngineServices services);
    ~TalkEngine();
    TalkEngine(const TalkEngine&) = delete;
    TalkEngine& operator=(const TalkEngine&) = delete;

    void BeginTalk(uint16_t port);
    void EndTalk();
    void AddDestination(const char* ipText, uint16_t port);
    void RemoveDestination(const char* ipText, uint16_t port);
    void SetSendCallback(uint32_t context, SendCallback callback);
    void ReceiveDatagram(uint32_t ip, uint16_t port, const uint8_t* data, int32_t length);
    TalkMixer& Mixer() { return *mixer; }
    bool Idle() const { return idle.load(); }

    TalkEngineServices services;
    std::unique_ptr<CBufferMonitor> captureQueue;
    std::unique_ptr<CBufferMonitor> playbackQueue;
    QueueReader* captureReader = nullptr;
    std::unique_ptr<TalkAudio> audio;
    std::unique_ptr<TalkMixer> mixer;
    std::unique_ptr<uint8_t[]> sendScratch;
    std::unique_ptr<uint8_t[]> assemblyBuffer;
    int32_t assembledCount = 0;
    std::atomic<bool> capturing{false};
    std::atomic<bool> playing{false};
    RtpSession session;
    std::unique_ptr<uint8_t[]> sendBuffer;
    std::atomic<bool> stop{false};
    std::unique_ptr<platform::PeriodicTimer> timer;
    std::atomic<bool> idle{true};
    std::thread sendThread;

private:
    void PrepareMixer();
    void CreateSessionState(uint16_t port);
    void ReceiveVoice(const uint8_t* payload, int32_t length);
    void StopSendThread();
};

// Ends any talk, lets go of the socket library and frees the engine.
void ReleaseTalkEngine(TalkEngine* engine);

// Body of the per-talk sender thread.
void SendThread(TalkEngine* engine);
