#include "talk/rtp/rtcp_send.h"

#include "talk/rtp/rtcp_build.h"

namespace rtp {
namespace {

struct Target {
    uint32_t address;
    uint16_t port;
};

bool ServedBySource(const SourceTable& sources, const TalkDestination& d) {
    for (const SourceStats& s : sources) {
        if (s.Used() && s.address == d.address && s.port == d.port) return true;
    }
    return false;
}

std::vector<Target> ReportTargets(const RtpSessionState& state) {
    std::vector<Target> targets;
    for (const SourceStats& s : state.sources) {
        if (s.Used()) targets.push_back({s.address, uint16_t(s.port + 1)});
    }
    for (const TalkDestination& d : state.destinations) {
        if (d.Used() && !ServedBySource(state.sources, d)) targets.push_back({d.address, uint16_t(d.port + 1)});
    }
    return targets;
}

}  // namespace

std::vector<uint8_t> BuildSrCompound(RtpSessionState& state) {
    std::lock_guard guard(state.lock);
    const platform::WallTime now = state.clock.NowTime();
    const uint32_t middle = NtpMiddle32(now);
    const SenderInfo sender{state.ssrc, ToNtp(now), middle, state.packetCount, state.octetCount};
    std::vector<uint8_t> out;
    AppendSenderReport(out, sender, ReportBlocks(state.sources, middle));
    AppendSdes(out, state.ssrc, state.cname);
    return out;
}

std::vector<uint8_t> BuildRrCompound(RtpSessionState& state) {
    std::lock_guard guard(state.lock);
    std::vector<uint8_t> out;
    AppendReceiverReport(out, state.ssrc, ReportBlocks(state.sources, NtpMiddle32(state.clock.NowTime())));
    AppendSdes(out, state.ssrc, state.cname);
    return out;
}

std::vector<uint8_t> BuildByePacket(const RtpSessionState& state) {
    std::lock_guard guard(state.lock);
    std::vector<uint8_t> out;
    AppendBye(out, std::span(&state.ssrc, 1));
    return out;
}

void SendReports(RtpSessionState& state, const std::vector<uint8_t>& compound, const PacketSink& sink) {
    std::vector<Target> targets;
    {
        std::lock_guard guard(state.lock);
        targets = ReportTargets(state);
    }
    for (const Target& t : targets) sink.Send(t.address, t.port, compound.data(), compound.size(), true);
}

void SendPeriodicReports(RtpSessionState& state, const PacketSink& sink) {
    SendReports(state, BuildSrCompound(state), sink);
    SendReports(state, BuildRrCompound(state), sink);
}

void SendBye(RtpSessionState& state, const PacketSink& sink) { SendReports(state, BuildByePacket(state), sink); }

}  // namespace rtp
