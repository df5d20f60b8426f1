#include "talk/rtp/rtp_session.h"

#include <algorithm>
#include <array>

#include "talk/rtp/playback_assembly.h"
#include "talk/rtp/rtcp_receive.h"
#include "talk/rtp/rtcp_send.h"
#include "talk/rtp/rtp_receive.h"
#include "talk/rtp/rtp_send.h"
#include "talk/rtp/ssrc.h"

namespace rtp {

RtpSession::RtpSession(PacketSender send, ReceiveStreams& received, platform::Clock& clock, std::string cname)
    : send_(std::move(send)), received_(received), clock_(clock), cname_(std::move(cname)) {}

void RtpSession::Begin(uint16_t port) {
    std::lock_guard guard(lock_);
    state_ = CreateState(port, SsrcSeed(clock_.WallNow()), cname_);
    talkClock_.emplace(clock_);
    received_.Clear();
}

void RtpSession::End() {
    Report bye;
    {
        std::lock_guard guard(lock_);
        if (!state_) return;
        bye = {BuildByePacket(*state_), ReportTargets(*state_)};
        state_.reset();
        talkClock_.reset();
        received_.Clear();  // with any frames still waiting for playback
    }
    SendReport(bye);
}

void RtpSession::AddDestination(const char* ipText, uint16_t port) {
    std::lock_guard guard(lock_);
    if (state_) rtp::AddDestination(*state_, ipText, port);
}

void RtpSession::RemoveDestination(const char* ipText, uint16_t port) {
    std::lock_guard guard(lock_);
    if (state_) rtp::RemoveDestination(*state_, ipText, port);
}

// Fragments of at most 1024 bytes; the marker goes on a fragment when fewer
// than 1024 bytes remained before it.
void RtpSession::SendVoice(std::span<const uint8_t> block) {
    std::array<uint8_t, kMaxRtpPacket> packet;
    for (size_t sent = 0; sent < block.size();) {
        const size_t remaining = block.size() - sent;
        const size_t fragment = std::min(remaining, kMaxFragment);
        DestinationTable targets;
        size_t size;
        {
            std::lock_guard guard(lock_);
            if (!state_) return;
            const uint32_t now = NtpMiddle32(talkClock_->NowTime());
            size = BuildVoicePacket(*state_, now, block.subspan(sent, fragment), remaining < kMaxFragment,
                                    packet.data());
            targets = state_->destinations;
        }
        for (const TalkDestination& d : UsedDestinations(targets))
            send_(d.address, d.port, std::span(packet.data(), size), false);
        sent += fragment;
    }
}

RtpSession::Report RtpSession::TakeReport(std::vector<uint8_t> (*build)(const RtpSessionState&, platform::WallTime)) {
    std::lock_guard guard(lock_);
    if (!state_) return {};
    return {build(*state_, talkClock_->NowTime()), ReportTargets(*state_)};
}

void RtpSession::SendSenderReport() { SendReport(TakeReport(BuildSrCompound)); }

void RtpSession::SendReceiverReport() { SendReport(TakeReport(BuildRrCompound)); }

void RtpSession::SendReport(const Report& report) const {
    for (const TalkDestination& t : report.targets) send_(t.address, t.port, report.packet, true);
}

void RtpSession::ReceiveRtp(uint32_t ip, uint16_t port, std::span<const uint8_t> datagram) {
    std::lock_guard guard(lock_);
    if (!state_) return;
    const auto packet = TakeRtpPacket(*state_, ip, port, NtpMiddle32(talkClock_->NowTime()), datagram);
    if (!packet) return;
    if (const auto frame = ReadVoiceFrame(packet->payload))
        received_.Take(packet->header.ssrc, packet->header.sequence, *frame);
}

void RtpSession::ReceiveRtcp(uint32_t ip, uint16_t port, std::span<const uint8_t> datagram) {
    std::lock_guard guard(lock_);
    if (!state_) return;
    for (const uint32_t ssrc : TakeRtcpCompound(*state_, ip, port, NtpMiddle32(talkClock_->NowTime()), datagram))
        received_.Depart(ssrc);
}

SessionStatistics RtpSession::Statistics() const {
    std::lock_guard guard(lock_);
    if (!state_) return {};
    SessionStatistics statistics = ReadStatistics(*state_);
    for (SourceReport& source : statistics.sources) source.playback = received_.Counts(source.ssrc);
    return statistics;
}

}  // namespace rtp
