#include "talk/rtp/rtcp_packets.h"

#include "common/byte_order.h"

namespace rtp {
namespace {

// Grows the compound by one packet of `size` zero bytes with its header written; returns the packet.
uint8_t* AppendPacket(std::vector<uint8_t>& out, uint8_t count, uint8_t type, size_t size) {
    const size_t at = out.size();
    out.resize(at + size, 0);
    WriteRtcpHeader(&out[at], {count, type, size});
    return &out[at];
}

void WriteReportBlocks(uint8_t* first, std::span<const ReportBlock> blocks) {
    for (size_t i = 0; i < blocks.size(); ++i) WriteReportBlock(first + i * kReportBlockSize, blocks[i]);
}

}  // namespace

void WriteRtcpHeader(uint8_t* out, const RtcpHeader& header) {
    out[kRtcpFlagsAt] = uint8_t(kRtcpVersion2 | (header.count & kRtcpCountMask));
    out[kRtcpTypeAt] = header.type;
    common::PutBe16(out + kRtcpLengthAt, uint16_t(header.size / 4 - 1));
}

RtcpHeader ReadRtcpHeader(const uint8_t* in) {
    return {uint8_t(in[kRtcpFlagsAt] & kRtcpCountMask), in[kRtcpTypeAt],
            4 * (size_t(common::GetBe16(in + kRtcpLengthAt)) + 1)};
}

uint32_t ReadReporterSsrc(const uint8_t* report) { return common::GetBe32(report + kReporterSsrcAt); }

SenderInfo ReadSenderInfo(const uint8_t* sr) {
    SenderInfo info;
    info.ssrc = ReadReporterSsrc(sr);
    info.ntp.seconds = common::GetBe32(sr + kSrNtpSecondsAt);
    info.ntp.fraction = common::GetBe32(sr + kSrNtpFractionAt);
    info.rtpTimeStamp = common::GetBe32(sr + kSrRtpTimeStampAt);
    info.packetCount = common::GetBe32(sr + kSrPacketCountAt);
    info.octetCount = common::GetBe32(sr + kSrOctetCountAt);
    return info;
}

void WriteReportBlock(uint8_t* out, const ReportBlock& block) {
    common::PutBe32(out + kBlockSsrcAt, block.ssrc);
    common::PutBe32(out + kBlockLossAt, block.lossWord);
    common::PutBe32(out + kBlockHighestAt, block.extendedHighestSequence);
    common::PutBe32(out + kBlockJitterAt, block.jitter);
    common::PutBe32(out + kBlockLsrAt, block.lsr);
    common::PutBe32(out + kBlockDlsrAt, block.dlsr);
}

ReportBlock ReadReportBlock(const uint8_t* in) {
    ReportBlock block;
    block.ssrc = common::GetBe32(in + kBlockSsrcAt);
    block.lossWord = common::GetBe32(in + kBlockLossAt);
    block.extendedHighestSequence = common::GetBe32(in + kBlockHighestAt);
    block.jitter = common::GetBe32(in + kBlockJitterAt);
    block.lsr = common::GetBe32(in + kBlockLsrAt);
    block.dlsr = common::GetBe32(in + kBlockDlsrAt);
    return block;
}

size_t SdesSize(size_t textLength) {
    const size_t chunk = kSdesChunkSsrcSize + kSdesItemHeaderSize + textLength + 1;  // with the end byte
    return kRtcpHeaderSize + ((chunk + 3) & ~size_t(3));
}

bool SdesChunksFit(const uint8_t* packet, const RtcpHeader& header) {
    size_t at = kRtcpHeaderSize;
    for (uint8_t chunk = 0; chunk < header.count; ++chunk) {
        if (at + kSdesChunkSsrcSize > header.size) return false;
        at += kSdesChunkSsrcSize;
        for (;;) {
            if (at >= header.size) return false;
            if (packet[at] == kSdesEnd) break;
            if (at + kSdesItemHeaderSize > header.size) return false;
            const size_t item = kSdesItemHeaderSize + packet[at + 1];
            if (at + item > header.size) return false;
            at += item;
        }
        at = (at + 4) & ~size_t(3);  // past the end byte, to the next word
        if (at > header.size) return false;
    }
    return true;
}

uint32_t ReadByeSsrc(const uint8_t* bye, size_t i) { return common::GetBe32(bye + kRtcpHeaderSize + i * kByeSsrcSize); }

void AppendSenderReport(std::vector<uint8_t>& out, const SenderInfo& sender, std::span<const ReportBlock> blocks) {
    uint8_t* p = AppendPacket(out, uint8_t(blocks.size()), kRtcpSr, kSrHeaderSize + kReportBlockSize * blocks.size());
    common::PutBe32(p + kReporterSsrcAt, sender.ssrc);
    common::PutBe32(p + kSrNtpSecondsAt, sender.ntp.seconds);
    common::PutBe32(p + kSrNtpFractionAt, sender.ntp.fraction);
    common::PutBe32(p + kSrRtpTimeStampAt, sender.rtpTimeStamp);
    common::PutBe32(p + kSrPacketCountAt, sender.packetCount);
    common::PutBe32(p + kSrOctetCountAt, sender.octetCount);
    WriteReportBlocks(p + kSrHeaderSize, blocks);
}

void AppendReceiverReport(std::vector<uint8_t>& out, uint32_t reporter, std::span<const ReportBlock> blocks) {
    uint8_t* p = AppendPacket(out, uint8_t(blocks.size()), kRtcpRr, kRrHeaderSize + kReportBlockSize * blocks.size());
    common::PutBe32(p + kReporterSsrcAt, reporter);
    WriteReportBlocks(p + kRrHeaderSize, blocks);
}

void AppendSdes(std::vector<uint8_t>& out, uint32_t ssrc, std::string_view cname) {
    const size_t text = cname.size() > kMaxSdesText ? kMaxSdesText : cname.size();
    uint8_t* p = AppendPacket(out, 1, kRtcpSdes, SdesSize(text));
    uint8_t* chunk = p + kRtcpHeaderSize;
    common::PutBe32(chunk, ssrc);
    uint8_t* item = chunk + kSdesChunkSsrcSize;
    item[0] = kSdesCname;
    item[1] = uint8_t(text);
    cname.copy(reinterpret_cast<char*>(item + kSdesItemHeaderSize), text);
}

void AppendBye(std::vector<uint8_t>& out, std::span<const uint32_t> ssrcs) {
    uint8_t* p = AppendPacket(out, uint8_t(ssrcs.size()), kRtcpBye, ByeSize(ssrcs.size()));
    for (size_t i = 0; i < ssrcs.size(); ++i) common::PutBe32(p + kRtcpHeaderSize + i * kByeSsrcSize, ssrcs[i]);
}

}  // namespace rtp
