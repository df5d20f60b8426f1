#include "tests/support/rtp_packets.h"

namespace support {

std::vector<uint8_t> RtpPacket(const rtp::RtpHeader& header, size_t payload, uint8_t fill) {
    std::vector<uint8_t> packet(rtp::kRtpHeaderSize + payload, fill);
    rtp::WriteRtpHeader(packet.data(), header);
    return packet;
}

std::vector<uint8_t> VoicePacket(uint32_t ssrc, uint16_t sequence, uint32_t timeStamp) {
    return RtpPacket({true, 98, sequence, timeStamp, ssrc}, 28);
}

std::vector<uint8_t> SenderReport(const rtp::SenderInfo& sender, std::initializer_list<rtp::ReportBlock> blocks) {
    std::vector<uint8_t> packet;
    rtp::AppendSenderReport(packet, sender, blocks);
    return packet;
}

std::vector<uint8_t> ReceiverReport(uint32_t reporter, std::initializer_list<rtp::ReportBlock> blocks) {
    std::vector<uint8_t> packet;
    rtp::AppendReceiverReport(packet, reporter, blocks);
    return packet;
}

std::vector<uint8_t> Bye(std::initializer_list<uint32_t> ssrcs) {
    std::vector<uint8_t> packet;
    rtp::AppendBye(packet, ssrcs);
    return packet;
}

}  // namespace support
