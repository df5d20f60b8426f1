#include "talk/rtp/rtcp_parse.h"

namespace rtp {
namespace {

bool ValidPacket(const RtcpPacketView& p) {
    const RtcpHeader& h = p.header;
    switch (h.type) {
    case kRtcpSr: return kSrHeaderSize + kReportBlockSize * h.count <= h.size;
    case kRtcpRr: return kRrHeaderSize + kReportBlockSize * h.count <= h.size;
    case kRtcpSdes: return SdesChunksFit(p.data, h);
    case kRtcpBye: return ByeSize(h.count) <= h.size;
    default: return true;  // not read
    }
}

}  // namespace

bool RtcpWalker::Next(RtcpPacketView& packet) {
    if (length_ - offset_ < kRtcpHeaderSize) return false;
    const uint8_t* p = data_ + offset_;
    const RtcpHeader header = ReadRtcpHeader(p);
    if (header.size > length_ - offset_) return false;
    packet = {p, header};
    offset_ += header.size;
    return true;
}

bool ValidRtcpCompound(const uint8_t* data, size_t length) {
    if (!data || length < kRtcpHeaderSize || !(data[kRtcpFlagsAt] & kRtcpVersion2) || data[kRtcpTypeAt] < kRtcpSr ||
        data[kRtcpTypeAt] > kRtcpApp)
        return false;
    RtcpWalker walker(data, length);
    RtcpPacketView packet;
    size_t covered = 0;
    while (walker.Next(packet)) {
        if (!ValidPacket(packet)) return false;
        covered += packet.header.size;
    }
    return covered == length;
}

}  // namespace rtp
