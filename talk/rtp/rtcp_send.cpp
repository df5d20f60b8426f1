#include "talk/rtp/rtcp_send.h"

#include "talk/rtp/rtcp_build.h"

namespace rtp {
namespace {

bool ServedBySource(const SourceTable& sources, const TalkDestination& d) {
    for (const SourceStats& s : sources) {
        if (s.Used() && s.address == d.address && s.port == d.port) return true;
    }
    return false;
}

}  // namespace

std::vector<uint8_t> BuildSrCompound(const RtpSessionState& state, platform::WallTime now) {
    const uint32_t middle = NtpMiddle32(now);
    const SenderInfo sender{state.ssrc, ToNtp(now), middle, state.packetCount, state.octetCount};
    std::vector<uint8_t> out;
    AppendSenderReport(out, sender, ReportBlocks(state.sources, middle));
    AppendSdes(out, state.ssrc, state.cname);
    return out;
}

std::vector<uint8_t> BuildRrCompound(const RtpSessionState& state, platform::WallTime now) {
    std::vector<uint8_t> out;
    AppendReceiverReport(out, state.ssrc, ReportBlocks(state.sources, NtpMiddle32(now)));
    AppendSdes(out, state.ssrc, state.cname);
    return out;
}

std::vector<uint8_t> BuildByePacket(const RtpSessionState& state) {
    std::vector<uint8_t> out;
    AppendBye(out, std::span(&state.ssrc, 1));
    return out;
}

std::vector<TalkDestination> ReportTargets(const RtpSessionState& state) {
    std::vector<TalkDestination> targets;
    for (const SourceStats& s : state.sources) {
        if (s.Used()) targets.push_back({s.address, uint16_t(s.port + 1)});
    }
    for (const TalkDestination& d : state.destinations) {
        if (d.Used() && !ServedBySource(state.sources, d)) targets.push_back({d.address, uint16_t(d.port + 1)});
    }
    return targets;
}

}  // namespace rtp
