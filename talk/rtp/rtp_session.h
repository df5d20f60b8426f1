#pragma once
#include <mutex>
#include <optional>
#include <string>

#include "platform/clock.h"
#include "talk/rtp/receive_streams.h"
#include "talk/rtp/ntp_time.h"
#include "talk/rtp/rtp_session_state.h"
#include "talk/rtp/session_statistics.h"
#include "talk/talk_session.h"

namespace rtp {

// The engine's RTP session over the wire formats, statistics and reports of this folder.
//
// The host's threads (Begin, End, destinations, received datagrams) and the
// sender thread (voice, reports) share it. One lock keeps them apart: the talk's
// state and its clock are read and changed only under `lock_`; `lock_` is never
// held while a packet goes to the host, so the host's callback may call back in.
// Received frames go on to the sources' streams for playback, which have a lock
// of their own, taken inside `lock_`.
class RtpSession final : public TalkSession {
public:
    // cname: see MakeCname. Each talk's SSRC is drawn from the clock's wall time.
    RtpSession(PacketSender send, ReceiveStreams& received, platform::Clock& clock, std::string cname);

    void Begin(uint16_t port) override;
    void End() override;
    void AddDestination(const char* ipText, uint16_t port) override;
    void RemoveDestination(const char* ipText, uint16_t port) override;
    void SendVoice(std::span<const uint8_t> block) override;
    void SendSenderReport() override;
    void SendReceiverReport() override;
    void ReceiveRtp(uint32_t ip, uint16_t port, std::span<const uint8_t> datagram) override;
    void ReceiveRtcp(uint32_t ip, uint16_t port, std::span<const uint8_t> datagram) override;

    // The running talk's statistics, with what playback made of each source's
    // frames; empty outside a talk.
    SessionStatistics Statistics() const;

private:
    // What one RTCP packet goes out as, taken under the lock and sent after it.
    struct Report {
        std::vector<uint8_t> packet;
        std::vector<TalkDestination> targets;
    };
    void SendReport(const Report& report) const;
    Report TakeReport(std::vector<uint8_t> (*build)(const RtpSessionState&, platform::WallTime));

    const PacketSender send_;
    ReceiveStreams& received_;
    platform::Clock& clock_;
    const std::string cname_;

    mutable std::mutex lock_;
    std::optional<RtpSessionState> state_;  // present only while a talk runs
    std::optional<RtpClock> talkClock_;     // anchored anew for every talk
};

}  // namespace rtp
