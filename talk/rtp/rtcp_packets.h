#pragma once
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include "talk/rtp/ntp_time.h"

// The RTCP packets this engine sends and reads (RFC 3550 section 6.4 to 6.6): for
// each structure its size and field offsets, its writer and its reader, side by
// side. All fields are big-endian. Readers assume the caller has checked that the
// bytes are there (see ValidRtcpCompound); writers that the room is there.
namespace rtp {

enum RtcpType : uint8_t { kRtcpSr = 200, kRtcpRr = 201, kRtcpSdes = 202, kRtcpBye = 203, kRtcpApp = 204 };
constexpr size_t kRtcpTypeCount = 5;

// Common header: version 2, no padding, a 5-bit count, the type, and the packet's
// length in 32-bit words minus one.
constexpr size_t kRtcpHeaderSize = 4;
constexpr size_t kRtcpFlagsAt = 0;
constexpr size_t kRtcpTypeAt = 1;
constexpr size_t kRtcpLengthAt = 2;
constexpr uint8_t kRtcpVersion2 = 0x80;
constexpr uint8_t kRtcpCountMask = 0x1F;

struct RtcpHeader {
    uint8_t count = 0;  // report blocks, SDES chunks or BYE sources
    uint8_t type = 0;
    size_t size = 0;  // bytes, 4 x (length field + 1)
};

void WriteRtcpHeader(uint8_t* out, const RtcpHeader& header);
RtcpHeader ReadRtcpHeader(const uint8_t* in);

// SR and RR both name their sender right after the common header.
constexpr size_t kReporterSsrcAt = 4;
uint32_t ReadReporterSsrc(const uint8_t* report);

// SR: common header, sender SSRC, sender info, then the report blocks.
constexpr size_t kSrNtpSecondsAt = 8;
constexpr size_t kSrNtpFractionAt = 12;
constexpr size_t kSrRtpTimeStampAt = 16;
constexpr size_t kSrPacketCountAt = 20;
constexpr size_t kSrOctetCountAt = 24;
constexpr size_t kSrHeaderSize = 28;

// What a sender report says of its sender.
struct SenderInfo {
    uint32_t ssrc = 0;
    NtpTimestamp ntp;
    uint32_t rtpTimeStamp = 0;
    uint32_t packetCount = 0;
    uint32_t octetCount = 0;
};

SenderInfo ReadSenderInfo(const uint8_t* sr);

// RR: common header and the reporter's SSRC, then the report blocks.
constexpr size_t kRrHeaderSize = 8;

// Report block: what the reporter heard from one source.
constexpr size_t kBlockSsrcAt = 0;
constexpr size_t kBlockLossAt = 4;  // fraction lost (8 bits), cumulative lost (24 bits)
constexpr size_t kBlockHighestAt = 8;
constexpr size_t kBlockJitterAt = 12;
constexpr size_t kBlockLsrAt = 16;
constexpr size_t kBlockDlsrAt = 20;
constexpr size_t kReportBlockSize = 24;

struct ReportBlock {
    uint32_t ssrc = 0;
    uint32_t lossWord = 0;  // fraction lost << 24 | the low 24 bits of the cumulative count
    uint32_t extendedHighestSequence = 0;
    uint32_t jitter = 0;
    uint32_t lsr = 0;
    uint32_t dlsr = 0;
};

void WriteReportBlock(uint8_t* out, const ReportBlock& block);
ReportBlock ReadReportBlock(const uint8_t* in);

// Block i of an SR or RR whose fixed part is headerSize bytes.
inline const uint8_t* ReportBlockAt(const uint8_t* packet, size_t headerSize, size_t i) {
    return packet + headerSize + i * kReportBlockSize;
}

// SDES: chunks of an SSRC and items (type, length, text), each chunk ended by a
// zero byte and padded with zeros to a 32-bit boundary.
constexpr uint8_t kSdesEnd = 0;
constexpr uint8_t kSdesCname = 1;
constexpr size_t kSdesChunkSsrcSize = 4;
constexpr size_t kSdesItemHeaderSize = 2;
constexpr size_t kMaxSdesText = 255;

// Size of an SDES packet of one chunk with one item of textLength bytes.
size_t SdesSize(size_t textLength);
// True when every chunk the packet claims, with its items and end byte, lies inside it.
bool SdesChunksFit(const uint8_t* packet, const RtcpHeader& header);

// BYE: common header and the SSRCs of the sources leaving.
constexpr size_t kByeSsrcSize = 4;

inline size_t ByeSize(size_t sources) { return kRtcpHeaderSize + kByeSsrcSize * sources; }
uint32_t ReadByeSsrc(const uint8_t* bye, size_t i);

// Each Append* adds one packet to a compound.
void AppendSenderReport(std::vector<uint8_t>& out, const SenderInfo& sender, std::span<const ReportBlock> blocks);
void AppendReceiverReport(std::vector<uint8_t>& out, uint32_t reporter, std::span<const ReportBlock> blocks);
// One chunk with one CNAME item; text beyond 255 bytes is cut.
void AppendSdes(std::vector<uint8_t>& out, uint32_t ssrc, std::string_view cname);
void AppendBye(std::vector<uint8_t>& out, std::span<const uint32_t> ssrcs);

}  // namespace rtp
