#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "talk/rtp/rtcp_packets.h"
#include "talk/rtp/receive_stats.h"

namespace rtp {

constexpr size_t kMaxUserChars = 31;
constexpr size_t kMaxHostBytes = 63;

// "user@host": the user name cut to 31 UTF-8 characters, the host name to 63 bytes.
std::string MakeCname(std::string_view userUtf8, std::string_view host);

// What we report about one source; now is NtpMiddle32 of the moment.
ReportBlock ReportBlockAbout(const SourceStats& source, uint32_t now);
// One block per used source entry from the first, in table order.
std::vector<ReportBlock> ReportBlocks(const SourceTable& sources, uint32_t now);

}  // namespace rtp
