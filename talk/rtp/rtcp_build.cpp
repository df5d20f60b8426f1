#include "talk/rtp/rtcp_build.h"

#include "common/byte_order.h"
#include "talk/rtp/slot_table.h"

namespace rtp {
namespace {

constexpr uint8_t kSdesCname = 1;

// Appends the 4-byte common header; the length field counts 32-bit words minus one.
void AppendHeader(std::vector<uint8_t>& out, uint8_t count, uint8_t type, size_t size) {
    const size_t at = out.size();
    out.resize(at + size, 0);
    out[at] = uint8_t(0x80 | count);
    out[at + 1] = type;
    common::PutBe16(&out[at + 2], uint16_t(size / 4 - 1));
}

uint8_t FractionLost(const SourceStats& s) {
    if (s.expected <= 0 || s.lost <= 0) return 0;
    const int64_t fraction = int64_t(s.lost) * 256 / s.expected;
    return fraction > 255 ? 255 : uint8_t(fraction);
}

void WriteReportBlock(uint8_t* p, const SourceStats& s, uint32_t now) {
    common::PutBe32(p, s.ssrc);
    common::PutBe32(p + 4, uint32_t(FractionLost(s)) << 24 | (uint32_t(s.lost) & 0xFFFFFF));
    common::PutBe32(p + 8, s.cycles << 16 | s.highestSequence);
    common::PutBe32(p + 12, s.jitter);
    common::PutBe32(p + 16, s.srSeen ? s.lsr : 0);
    common::PutBe32(p + 20, s.srSeen ? now - s.srArrival : 0);
}

void WriteReportBlocks(uint8_t* p, const SourceTable& sources, size_t n, uint32_t now) {
    for (size_t i = 0; i < n; ++i) WriteReportBlock(p + i * kReportBlockSize, sources[i], now);
}

// Length in bytes of the first `maxChars` UTF-8 characters of text.
size_t Utf8Prefix(std::string_view text, size_t maxChars) {
    size_t bytes = 0;
    for (size_t chars = 0; bytes < text.size(); ++bytes) {
        const bool starts = (uint8_t(text[bytes]) & 0xC0) != 0x80;
        if (starts && chars++ == maxChars) break;
    }
    return bytes;
}

}  // namespace

std::string MakeCname(std::string_view userUtf8, std::string_view host) {
    std::string cname(userUtf8.substr(0, Utf8Prefix(userUtf8, kMaxUserChars)));
    cname += '@';
    cname += host.substr(0, kMaxHostBytes);
    return cname;
}

void AppendSenderReport(std::vector<uint8_t>& out, const SenderInfo& sender, const SourceTable& sources,
                        uint32_t now) {
    const size_t n = LeadingUsed(sources);
    const size_t at = out.size();
    AppendHeader(out, uint8_t(n), kRtcpSr, 28 + kReportBlockSize * n);
    uint8_t* p = &out[at];
    common::PutBe32(p + 4, sender.ssrc);
    common::PutBe32(p + 8, sender.ntp.seconds);
    common::PutBe32(p + 12, sender.ntp.fraction);
    common::PutBe32(p + 16, sender.rtpTimeStamp);
    common::PutBe32(p + 20, sender.packetCount);
    common::PutBe32(p + 24, sender.octetCount);
    WriteReportBlocks(p + 28, sources, n, now);
}

void AppendReceiverReport(std::vector<uint8_t>& out, uint32_t ssrc, const SourceTable& sources, uint32_t now) {
    const size_t n = LeadingUsed(sources);
    const size_t at = out.size();
    AppendHeader(out, uint8_t(n), kRtcpRr, 8 + kReportBlockSize * n);
    common::PutBe32(&out[at + 4], ssrc);
    WriteReportBlocks(&out[at + 8], sources, n, now);
}

void AppendSdes(std::vector<uint8_t>& out, uint32_t ssrc, std::string_view cname) {
    const size_t text = cname.size() > 255 ? 255 : cname.size();
    // Header, SSRC, item type and length, the text, then at least one zero byte.
    const size_t size = (4 + 4 + 2 + text + 1 + 3) & ~size_t(3);
    const size_t at = out.size();
    AppendHeader(out, 1, kRtcpSdes, size);
    uint8_t* p = &out[at];
    common::PutBe32(p + 4, ssrc);
    p[8] = kSdesCname;
    p[9] = uint8_t(text);
    cname.copy(reinterpret_cast<char*>(p + 10), text);
}

void AppendBye(std::vector<uint8_t>& out, uint32_t ssrc) {
    const size_t at = out.size();
    AppendHeader(out, 1, kRtcpBye, 8);
    common::PutBe32(&out[at + 4], ssrc);
}

}  // namespace rtp
