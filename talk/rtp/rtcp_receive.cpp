#include "talk/rtp/rtcp_receive.h"

#include "common/byte_order.h"
#include "talk/rtp/rtcp_build.h"
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
    int reportsAboutUs = 0;  // report hook calls owed once the lock is released
};

// A block about us from `reporter`: keep what it says and the round trip it gives.
void TakeReportBlock(RtcpContext& c, uint32_t reporter, const uint8_t* block) {
    if (common::GetBe32(block) != c.state.ssrc) return;
    SourceStats* source = FindSource(c.state.sources, reporter);
    if (!source) return;
    for (int i = 0; i < 4; ++i) source->peerLossWord[i] = block[4 + i];
    source->peerJitter = common::GetBe32(block + 12);
    ++c.reportsAboutUs;
    const uint32_t lsr = common::GetBe32(block + 16);
    const uint32_t dlsr = common::GetBe32(block + 20);
    if (lsr != 0 && dlsr != 0) {
        source->roundTrip = c.now - lsr - dlsr;
        source->roundTripSeen = true;
    }
}

void TakeReportBlocks(RtcpContext& c, const RtcpPacketView& p, size_t headerSize) {
    const uint32_t reporter = common::GetBe32(p.data + 4);
    for (uint8_t i = 0; i < p.count; ++i) TakeReportBlock(c, reporter, p.data + headerSize + i * kReportBlockSize);
}

// An SR restarts the sender's statistics interval; an unknown sender gets an entry
// whose sequence history starts with its first RTP packet. The entry keeps the
// RTP port of the pair, one below the RTCP port the SR came from.
void TakeSenderReport(RtcpContext& c, const RtcpPacketView& p) {
    const uint32_t ssrc = common::GetBe32(p.data + 4);
    const uint32_t lsr = common::GetBe32(p.data + 8) << 16 | common::GetBe32(p.data + 12) >> 16;
    SourceStats* source = FindSource(c.state.sources, ssrc);
    if (!source && ssrc != 0) {
        SourceStats fresh;
        fresh.ssrc = ssrc;
        fresh.address = c.address;
        fresh.port = uint16_t(c.port - 1);
        if (InsertInFirstFree(c.state.sources, fresh)) source = FindSource(c.state.sources, ssrc);
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
// address leaves the send list.
void TakeBye(RtcpContext& c, const RtcpPacketView& p) {
    for (uint8_t i = 0; i < p.count; ++i) {
        SourceStats* source = FindSource(c.state.sources, common::GetBe32(p.data + 4 + 4 * i));
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
    if (p.type < kRtcpSr || p.type > kRtcpApp) return;
    ++c.state.rtcpReceived[p.type - kRtcpSr];
    switch (p.type) {
    case kRtcpSr: return TakeSenderReport(c, p);
    case kRtcpRr: return TakeReportBlocks(c, p, kRrHeaderSize);
    case kRtcpBye: return TakeBye(c, p);
    default: return;
    }
}

}  // namespace

void HandleRtcp(RtpSessionState* state, uint32_t address, uint16_t port, const uint8_t* data,
                size_t length) {
    if (!state || !ValidRtcpCompound(data, length)) return;
    ReportHook hook;
    void* context;
    int calls;
    {
        std::lock_guard guard(state->lock);
        RtcpContext c{*state, address, port, NtpMiddle32(state->clock.NowTime())};
        RtcpWalker walker(data, length);
        RtcpPacketView packet;
        while (walker.Next(packet)) TakePacket(c, packet);
        hook = state->reportHook;
        context = state->reportContext;
        calls = c.reportsAboutUs;
    }
    for (int i = 0; hook && i < calls; ++i) hook(context, 0);
}

}  // namespace rtp
