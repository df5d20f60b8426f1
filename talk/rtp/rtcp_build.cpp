#include "talk/rtp/rtcp_build.h"

#include "common/utf8_text.h"
#include "talk/rtp/slot_table.h"

namespace rtp {
namespace {

uint8_t FractionLost(const SourceStats& s) {
    if (s.expected <= 0 || s.lost <= 0) return 0;
    const int64_t fraction = int64_t(s.lost) * 256 / s.expected;
    return fraction > 255 ? 255 : uint8_t(fraction);
}

// Length in bytes of the first `maxChars` UTF-8 characters of text.
size_t Utf8Prefix(std::string_view text, size_t maxChars) {
    size_t bytes = 0;
    for (size_t chars = 0; bytes < text.size(); ++bytes) {
        const bool starts = !common::IsUtf8Continuation(uint8_t(text[bytes]));
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

ReportBlock ReportBlockAbout(const SourceStats& s, uint32_t now) {
    ReportBlock block;
    block.ssrc = s.ssrc;
    block.lossWord = uint32_t(FractionLost(s)) << 24 | (uint32_t(s.lost) & 0xFFFFFF);
    block.extendedHighestSequence = s.cycles << 16 | s.highestSequence;
    block.jitter = s.jitter;
    block.lsr = s.srSeen ? s.lsr : 0;
    block.dlsr = s.srSeen ? now - s.srArrival : 0;
    return block;
}

std::vector<ReportBlock> ReportBlocks(const SourceTable& sources, uint32_t now) {
    std::vector<ReportBlock> blocks(LeadingUsed(sources));
    for (size_t i = 0; i < blocks.size(); ++i) blocks[i] = ReportBlockAbout(sources[i], now);
    return blocks;
}

}  // namespace rtp
