#include "talk/rtp/rtcp_receive.h"

#include "common/byte_order.h"
#include "talk/rtp/rtcp_parse.h"
#include "talk/rtp/receive_stats.h"
#include "talk/rtp/slot_table.h"

namespace rtp {
namespace {

struct RtcpContext {
    RtpSessionState& state;
    uint32_t address;
    uint16_t port;
    uint32_t now;
    std::vector<uint32_t> goodbyes;
};

// A block about us from `reporter`: keep what it says and the round trip it gives.
void TakeReportBlock(RtcpContext& c, uint32_t reporter, const ReportBlock& block) {
    if (block.ssrc != c.state.ssrc) return;
    SourceStats* source = FindSource(c.state.sources, reporter);
    if (!source) return;
    common::PutBe32(source->peerLossWord, block.lossWord);
    source->peerJitter = block.jitter;
    if (block.lsr != 0 && block.dlsr != 0) {
        source->roundTrip = c.now - block.lsr - block.dlsr;
        source->roundTripSeen = true;
    }
}

void TakeReportBlocks(RtcpContext& c, const RtcpPacketView& p, size_t headerSize) {
    const uint32_t reporter = ReadReporterSsrc(p.data);
    for (uint8_t i = 0; i < p.header.count; ++i)
        TakeReportBlock(c, reporter, ReadReportBlock(ReportBlockAt(p.data, headerSize, i)));
}

// An SR restarts the sender's statistics interval; an unknown sender gets an entry
// whose sequence history starts with its first RTP packet. The entry keeps the
// RTP port of the pair, one below the RTCP port the SR came from.
void TakeSenderReport(RtcpContext& c, const RtcpPacketView& p) {
    const SenderInfo sender = ReadSenderInfo(p.data);
    const uint32_t lsr = sender.ntp.seconds << 16 | sender.ntp.fraction >> 16;
    SourceStats* source = FindSource(c.state.sources, sender.ssrc);
    if (!source && sender.ssrc != 0) {
        SourceStats fresh;
        fresh.ssrc = sender.ssrc;
        fresh.address = c.address;
        fresh.port = uint16_t(c.port - 1);
        if (InsertInFirstFree(c.state.sources, fresh)) source = FindSource(c.state.sources, sender.ssrc);
    }
    if (source) {
        source->lsr = lsr;
        source->srArrival = c.now;
        source->srSeen = true;
        source->lost = source->received = source->expected = 0;
    }
    TakeReportBlocks(c, p, kSrHeaderSize);
}

// A source that says goodbye leaves the table, and the first destination at its
// address leaves the send list; every SSRC named is reported, known or not, for
// its playback to end.
void TakeBye(RtcpContext& c, const RtcpPacketView& p) {
    for (uint8_t i = 0; i < p.header.count; ++i) {
        const uint32_t ssrc = ReadByeSsrc(p.data, i);
        c.goodbyes.push_back(ssrc);
        SourceStats* source = FindSource(c.state.sources, ssrc);
        if (!source) continue;
        const uint32_t address = source->address;
        c.state.departed.push_back(*source);
        if (c.state.departed.size() > kMaxSources) c.state.departed.pop_front();
        RemoveAndCloseGap(c.state.sources, size_t(source - c.state.sources.data()));
        for (size_t d = 0; d < kMaxDestinations; ++d) {
            if (!c.state.destinations[d].Used() || c.state.destinations[d].address != address) continue;
            RemoveAndCloseGap(c.state.destinations, d);
            break;
        }
    }
}

void TakePacket(RtcpContext& c, const RtcpPacketView& p) {
    const uint8_t type = p.header.type;
    if (type < kRtcpSr || type > kRtcpApp) return;
    ++c.state.rtcpReceived[type - kRtcpSr];
    switch (type) {
    case kRtcpSr: return TakeSenderReport(c, p);
    case kRtcpRr: return TakeReportBlocks(c, p, kRrHeaderSize);
    case kRtcpBye: return TakeBye(c, p);
    default: return;
    }
}

}  // namespace

std::vector<uint32_t> TakeRtcpCompound(RtpSessionState& state, uint32_t address, uint16_t port, uint32_t now,
                                       std::span<const uint8_t> datagram) {
    if (!ValidRtcpCompound(datagram.data(), datagram.size())) return {};
    RtcpContext c{state, address, port, now, {}};
    RtcpWalker walker(datagram.data(), datagram.size());
    RtcpPacketView packet;
    while (walker.Next(packet)) TakePacket(c, packet);
    return std::move(c.goodbyes);
}

}  // namespace rtp
