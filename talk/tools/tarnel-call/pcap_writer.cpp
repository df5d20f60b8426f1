#include "pcap_writer.h"

#include <cstring>
#include <vector>

#include "common/byte_order.h"

namespace {

constexpr uint32_t kLinkTypeRawIp = 101;
constexpr size_t kFileHeaderSize = 24;
constexpr size_t kRecordHeaderSize = 16;
constexpr size_t kIpHeaderSize = 20;
constexpr size_t kUdpHeaderSize = 8;

uint16_t HeaderChecksum(const uint8_t* header, size_t size) {
    uint32_t sum = 0;
    for (size_t i = 0; i + 1 < size; i += 2) sum += common::GetBe16(header + i);
    while (sum >> 16) sum = (sum & 0xFFFF) + (sum >> 16);
    return uint16_t(~sum);
}

// An IPv4 header and a UDP header for a datagram of `length` bytes.
void WriteIpUdpHeaders(uint8_t* p, uint32_t sourceAddress, uint16_t sourcePort, uint32_t destAddress,
                       uint16_t destPort, size_t length) {
    p[0] = 0x45;  // version 4, five words of header
    p[1] = 0;
    common::PutBe16(p + 2, uint16_t(kIpHeaderSize + kUdpHeaderSize + length));
    common::PutBe16(p + 4, 0);       // identification
    common::PutBe16(p + 6, 0x4000);  // don't fragment
    p[8] = 64;                       // time to live
    p[9] = 17;                       // UDP
    common::PutBe16(p + 10, 0);      // checksum, filled below
    // Addresses already in network order go out byte for byte.
    std::memcpy(p + 12, &sourceAddress, 4);
    std::memcpy(p + 16, &destAddress, 4);
    common::PutBe16(p + 10, HeaderChecksum(p, kIpHeaderSize));
    uint8_t* udp = p + kIpHeaderSize;
    common::PutBe16(udp, sourcePort);
    common::PutBe16(udp + 2, destPort);
    common::PutBe16(udp + 4, uint16_t(kUdpHeaderSize + length));
    common::PutBe16(udp + 6, 0);  // no UDP checksum
}

}  // namespace

PcapWriter::~PcapWriter() {
    if (file_) std::fclose(file_);
}

bool PcapWriter::Open(const std::string& path) {
    file_ = std::fopen(path.c_str(), "wb");
    if (!file_) return false;
    uint8_t header[kFileHeaderSize];
    common::PutLe32(header, 0xA1B2C3D4);
    common::PutLe16(header + 4, 2);  // version 2.4
    common::PutLe16(header + 6, 4);
    common::PutLe32(header + 8, 0);   // GMT offset
    common::PutLe32(header + 12, 0);  // accuracy
    common::PutLe32(header + 16, 65535);
    common::PutLe32(header + 20, kLinkTypeRawIp);
    return std::fwrite(header, 1, sizeof header, file_) == sizeof header;
}

void PcapWriter::Write(uint64_t timeMicros, uint32_t sourceAddress, uint16_t sourcePort, uint32_t destAddress,
                       uint16_t destPort, const uint8_t* payload, int32_t length) {
    if (!file_ || length < 0 || length > 65535 - 28) return;
    const size_t packet = kIpHeaderSize + kUdpHeaderSize + size_t(length);
    std::vector<uint8_t> record(kRecordHeaderSize + packet);
    common::PutLe32(&record[0], uint32_t(timeMicros / 1000000));
    common::PutLe32(&record[4], uint32_t(timeMicros % 1000000));
    common::PutLe32(&record[8], uint32_t(packet));
    common::PutLe32(&record[12], uint32_t(packet));
    WriteIpUdpHeaders(&record[kRecordHeaderSize], sourceAddress, sourcePort, destAddress, destPort, size_t(length));
    if (length) std::memcpy(&record[kRecordHeaderSize + kIpHeaderSize + kUdpHeaderSize], payload, size_t(length));
    std::lock_guard guard(lock_);
    std::fwrite(record.data(), 1, record.size(), file_);
    std::fflush(file_);
}
