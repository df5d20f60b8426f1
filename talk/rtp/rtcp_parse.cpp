#include "talk/rtp/rtcp_parse.h"

#include "common/byte_order.h"
#include "talk/rtp/rtcp_build.h"
#include "talk/rtp/rtp_session_state.h"

namespace rtp {
namespace {

// The chunks of an SDES packet: an SSRC, items, a zero type byte, zero padding to a word.
bool ValidSdes(const RtcpPacketView& p) {
    size_t at = 4;
    for (uint8_t chunk = 0; chunk < p.count; ++chunk) {
        if (at + 4 > p.size) return false;
        at += 4;
        for (;;) {
            if (at >= p.size) return false;
            if (p.data[at] == 0) break;
            if (at + 2 > p.size || at + 2 + p.data[at + 1] > p.size) return false;
            at += 2 + p.data[at + 1];
        }
        at = (at + 4) & ~size_t(3);  // past the end byte, to the next word
        if (at > p.size) return false;
    }
    return true;
}

bool ValidPacket(const RtcpPacketView& p) {
    switch (p.type) {
    case kRtcpSr: return kSrHeaderSize + kReportBlockSize * p.count <= p.size;
    case kRtcpRr: return kRrHeaderSize + kReportBlockSize * p.count <= p.size;
    case kRtcpSdes: return ValidSdes(p);
    case kRtcpBye: return 4 + 4 * size_t(p.count) <= p.size;
    default: return true;  // not read
    }
}

}  // namespace

bool RtcpWalker::Next(RtcpPacketView& packet) {
    if (length_ - offset_ < 4) return false;
    const uint8_t* p = data_ + offset_;
    const size_t size = 4 * (size_t(common::GetBe16(p + 2)) + 1);
    if (size > length_ - offset_) return false;
    packet = {p, size, uint8_t(p[0] & 0x1F), p[1]};
    offset_ += size;
    return true;
}

bool ValidRtcpCompound(const uint8_t* data, size_t length) {
    if (!data || length < 4 || !(data[0] & 0x80) || data[1] < kRtcpSr || data[1] > kRtcpApp) return false;
    RtcpWalker walker(data, length);
    RtcpPacketView packet;
    size_t covered = 0;
    while (walker.Next(packet)) {
        if (!ValidPacket(packet)) return false;
        covered += packet.size;
    }
    return covered == length;
}

}  // namespace rtp
