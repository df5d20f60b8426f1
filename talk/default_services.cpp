#include "talk/talk_engine.h"

namespace {

// Placeholders until the packet layer and the audio devices are built in:
// they accept every call and produce nothing.
class QuietSession final : public TalkSession {
public:
    void AddDestination(const char*, uint16_t) override {}
    void RemoveDestination(const char*, uint16_t) override {}
    void SendVoice(const uint8_t*, int32_t) override {}
    void SendSenderReport() override {}
    void SendReceiverReport() override {}
    void SendBye() override {}
    void OnRtp(uint32_t, uint16_t, const uint8_t*, int32_t) override {}
    void OnRtcp(uint32_t, uint16_t, const uint8_t*, int32_t) override {}
};

class QuietAudio final : public TalkAudio {
public:
    void StartCapture(CBufferMonitor*) override {}
    void StopCapture() override {}
    void StartPlayback(CBufferMonitor*) override {}
    void StopPlayback() override {}
};

}  // namespace

TalkEngineServices DefaultTalkEngineServices() {
    TalkEngineServices services;
    services.sleeper = &platform::SystemSleeper();
    services.makeTimer = [] { return platform::CreatePeriodicTimer(); };
    services.makeAudio = [] { return std::make_unique<QuietAudio>(); };
    services.makeMixer = [] { return std::make_unique<NoMixer>(); };
    services.makeSession = [](TalkSessionSetup) { return std::make_unique<QuietSession>(); };
    return services;
}
