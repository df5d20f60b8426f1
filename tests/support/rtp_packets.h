#pragma once
// Packets as a peer sends them, built with the engine's own writers.
#include <cstdint>
#include <initializer_list>
#include <vector>

#include "talk/rtp/rtcp_packets.h"
#include "talk/rtp/rtp_header.h"

namespace support {

// A voice packet of the usual 40 bytes: payload type 98, marker set, a zero payload.
std::vector<uint8_t> VoicePacket(uint32_t ssrc, uint16_t sequence, uint32_t timeStamp = 0);
// An RTP packet with `payload` bytes of `fill` after the header.
std::vector<uint8_t> RtpPacket(const rtp::RtpHeader& header, size_t payload, uint8_t fill = 0);

std::vector<uint8_t> SenderReport(const rtp::SenderInfo& sender, std::initializer_list<rtp::ReportBlock> blocks = {});
std::vector<uint8_t> ReceiverReport(uint32_t reporter, std::initializer_list<rtp::ReportBlock> blocks = {});
std::vector<uint8_t> Bye(std::initializer_list<uint32_t> ssrcs);

}  // namespace support
