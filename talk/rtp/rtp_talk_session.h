#pragma once
#include <memory>
#include <string>

#include "platform/clock.h"
#include "talk/rtp/packet_sink.h"
#include "talk/rtp/rtp_session_state.h"
#include "talk/rtp/session_statistics.h"
#include "talk/talk_session.h"

namespace rtp {

// The engine's view of one talk's RTP session, over the state and functions of this folder.
class RtpTalkSession final : public TalkSession {
public:
    // seed: see SsrcSeed; cname: see MakeCname.
    RtpTalkSession(TalkSessionSetup setup, platform::Clock& clock, uint32_t seed, std::string cname);

    void AddDestination(const char* ipText, uint16_t port) override;
    void RemoveDestination(const char* ipText, uint16_t port) override;
    void SendVoice(const uint8_t* block, int32_t length) override;
    void SendSenderReport() override;
    void SendReceiverReport() override;
    void SendBye() override;
    void OnRtp(uint32_t ip, uint16_t port, const uint8_t* data, int32_t length) override;
    void OnRtcp(uint32_t ip, uint16_t port, const uint8_t* data, int32_t length) override;

    SessionStatistics Statistics() const { return ReadStatistics(*state_); }
    const RtpSessionState& State() const { return *state_; }

private:
    static void SendThroughSetup(void* context, uint32_t address, uint16_t port, const uint8_t* data,
                                 int32_t length, int32_t isRtcp);
    static void DeliverPayload(void* context, const RtpPacketInfo& info, const uint8_t* payload, size_t length);

    TalkSessionSetup setup_;
    std::unique_ptr<RtpSessionState> state_;
    PacketSink sink_;
};

}  // namespace rtp
