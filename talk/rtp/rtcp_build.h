#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "talk/rtp/ntp_time.h"
#include "talk/rtp/receive_stats.h"

namespace rtp {

constexpr size_t kReportBlockSize = 24;
constexpr size_t kMaxUserChars = 31;
constexpr size_t kMaxHostBytes = 63;

// "user@host": the user name cut to 31 UTF-8 characters, the host name to 63 bytes.
std::string MakeCname(std::string_view userUtf8, std::string_view host);

// What a sender report says about us; all times are of the moment it was requested.
struct SenderInfo {
    uint32_t ssrc = 0;
    NtpTimestamp ntp;
    uint32_t rtpTimeStamp = 0;
    uint32_t packetCount = 0;
    uint32_t octetCount = 0;
};

// Each Append* adds one RTCP packet to a compound; now is NtpMiddle32 of the moment.
// The report blocks cover the used source entries from the first, in table order.
void AppendSenderReport(std::vector<uint8_t>& out, const SenderInfo& sender, const SourceTable& sources,
                        uint32_t now);
void AppendReceiverReport(std::vector<uint8_t>& out, uint32_t ssrc, const SourceTable& sources, uint32_t now);
void AppendSdes(std::vector<uint8_t>& out, uint32_t ssrc, std::string_view cname);
void AppendBye(std::vector<uint8_t>& out, uint32_t ssrc);

}  // namespace rtp
