#pragma once
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <thread>

#include "audio/buffer_monitor.h"
#include "audio/mixer/talk_mixer.h"
#include "platform/clock.h"
#include "platform/periodic_timer.h"
#include "talk/rtp/receive_streams.h"
#include "talk/source_mixer.h"
#include "talk/talk_audio.h"
#include "talk/talk_session.h"
#include "talk/tarnel.h"

// What an engine is built from; tests replace any of it.
struct TalkEngineServices {
    platform::Sleeper* sleeper = nullptr;
    std::function<std::unique_ptr<platform::PeriodicTimer>()> makeTimer;
    std::function<std::unique_ptr<TalkAudio>()> makeAudio;
    std::function<std::unique_ptr<TalkMixer>()> makeMixer;
    TalkSessionFactory makeSession;
};

TalkEngineServices DefaultTalkEngineServices();
// The RTP session of an engine, on the system clock.
std::unique_ptr<TalkSession> MakeRtpSession(PacketSender send, rtp::ReceiveStreams& received);

// One voice engine: the capture queue, the received sources' streams and their
// mix, the audio devices, the sender thread and the session of the running talk.
class TalkEngine {
public:
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
    TalkMixer& Mixer() { return *mixer_; }
    bool Idle() const { return idle_.load(); }

private:
    void PrepareMixer();
    // The sender thread: one queued block per timer tick, reports every 1001 ticks.
    void SendThread();
    void SendNextBlock();
    void SendToHost(uint32_t ip, uint16_t port, std::span<const uint8_t> packet, bool isRtcp) const;
    void StopSendThread();

    TalkEngineServices services_;
    std::unique_ptr<CBufferMonitor> captureQueue_;
    std::unique_ptr<rtp::ReceiveStreams> received_;
    std::unique_ptr<SourceMixer> playbackMix_;
    QueueReader* captureReader_ = nullptr;
    std::unique_ptr<TalkAudio> audio_;
    std::unique_ptr<TalkMixer> mixer_;
    std::unique_ptr<uint8_t[]> sendScratch_;
    std::atomic<bool> capturing_{false};
    std::atomic<bool> playing_{false};
    std::atomic<SendCallback> sendCallback_{nullptr};
    std::atomic<uint32_t> sendContext_{0};
    std::unique_ptr<TalkSession> session_;
    std::unique_ptr<uint8_t[]> sendBuffer_;
    std::atomic<bool> stop_{false};
    std::unique_ptr<platform::PeriodicTimer> timer_;
    std::atomic<bool> idle_{true};
    std::thread sendThread_;
};

// Ends any talk, lets go of the socket library and frees the engine.
void ReleaseTalkEngine(TalkEngine* engine);
