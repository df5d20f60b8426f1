#include "talk/rtp/rtp_talk_session.h"

#include "talk/rtp/rtcp_receive.h"
#include "talk/rtp/rtcp_send.h"
#include "talk/rtp/rtp_receive.h"
#include "talk/rtp/rtp_send.h"

namespace rtp {

RtpTalkSession::RtpTalkSession(TalkSessionSetup setup, platform::Clock& clock, uint32_t seed, std::string cname)
    : setup_(std::move(setup)),
      state_(CreateState(setup_.port, clock, seed, std::move(cname))),
      sink_{&RtpTalkSession::SendThroughSetup, this} {
    SetPayloadHook(*state_, &RtpTalkSession::DeliverPayload, this);
}

void RtpTalkSession::SendThroughSetup(void* context, uint32_t address, uint16_t port, const uint8_t* data,
                                      int32_t length, int32_t isRtcp) {
    const auto* self = static_cast<RtpTalkSession*>(context);
    if (self->setup_.send) self->setup_.send(address, port, data, length, isRtcp != 0);
}

void RtpTalkSession::DeliverPayload(void* context, const RtpPacketInfo&, const uint8_t* payload, size_t length) {
    const auto* self = static_cast<RtpTalkSession*>(context);
    if (self->setup_.deliverVoice) self->setup_.deliverVoice(payload, int32_t(length));
}

void RtpTalkSession::AddDestination(const char* ipText, uint16_t port) { rtp::AddDestination(*state_, ipText, port); }

void RtpTalkSession::RemoveDestination(const char* ipText, uint16_t port) {
    rtp::RemoveDestination(*state_, ipText, port);
}

void RtpTalkSession::SendVoice(const uint8_t* block, int32_t length) {
    if (block && length > 0) rtp::SendVoice(*state_, block, size_t(length), sink_);
}

void RtpTalkSession::SendSenderReport() { SendReports(*state_, BuildSrCompound(*state_), sink_); }

void RtpTalkSession::SendReceiverReport() { SendReports(*state_, BuildRrCompound(*state_), sink_); }

void RtpTalkSession::SendBye() { rtp::SendBye(*state_, sink_); }

void RtpTalkSession::OnRtp(uint32_t ip, uint16_t port, const uint8_t* data, int32_t length) {
    if (length > 0) HandleRtp(state_.get(), ip, port, data, size_t(length));
}

void RtpTalkSession::OnRtcp(uint32_t ip, uint16_t port, const uint8_t* data, int32_t length) {
    if (length > 0) HandleRtcp(state_.get(), ip, port, data, size_t(length));
}

}  // namespace rtp
