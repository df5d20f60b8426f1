#include "pcap_writer.h"

#include <vector>

namespace {

constexpr uint32_t kLinkTypeRawIp = 101;

void PutLe32(std::vector<uint8_t>& out, uint32_t v) {
    for (int i = 0; i < 4; ++i) out.push_back(uint8_t(v >> (8 * i)));
}
void PutLe16(std::vector<uint8_t>& out, uint16_t v) {
    out.push_back(uint8_t(v));
    out.push_back(uint8_t(v >> 8));
}
void PutBe16(std::vector<uint8_t>& out, uint16_t v) {
    out.push_back(uint8_t(v >> 8));
    out.push_back(uint8_t(v));
}
// An address already in network order goes out byte for byte.
void PutRaw32(std::vector<uint8_t>& out, uint32_t networkOrder) {
    const auto* b = reinterpret_cast<const uint8_t*>(&networkOrder);
    out.insert(out.end(), b, b + 4);
}

uint16_t HeaderChecksum(const uint8_t* header, size_t size) {
    uint32_t sum = 0;
    for (size_t i = 0; i + 1 < size; i += 2) sum += uint32_t(header[i]) << 8 | header[i + 1];
    while (sum >> 16) sum = (sum & 0xFFFF) + (sum >> 16);
    return uint16_t(~sum);
}

}  // namespace

PcapWriter::~PcapWriter() {
    if (file_) std::fclose(file_);
}

bool PcapWriter::Open(const std::string& path) {
    file_ = std::fopen(path.c_str(), "wb");
    if (!file_) return false;
    std::vector<uint8_t> header;
    PutLe32(header, 0xA1B2C3D4);
    PutLe16(header, 2);
    PutLe16(header, 4);
    PutLe32(header, 0);  // GMT offset
    PutLe32(header, 0);  // accuracy
    PutLe32(header, 65535);
    PutLe32(header, kLinkTypeRawIp);
    return std::fwrite(header.data(), 1, header.size(), file_) == header.size();
}

void PcapWriter::Write(uint64_t timeMicros, uint32_t sourceAddress, uint16_t sourcePort, uint32_t destAddress,
                       uint16_t destPort, const uint8_t* payload, int32_t length) {
    if (!file_ || length < 0 || length > 65535 - 28) return;
    std::vector<uint8_t> ip;
    ip.push_back(0x45);
    ip.push_back(0);
    PutBe16(ip, uint16_t(28 + length));
    PutBe16(ip, 0);       // identification
    PutBe16(ip, 0x4000);  // don't fragment
    ip.push_back(64);     // time to live
    ip.push_back(17);     // UDP
    PutBe16(ip, 0);       // checksum, filled below
    PutRaw32(ip, sourceAddress);
    PutRaw32(ip, destAddress);
    const uint16_t checksum = HeaderChecksum(ip.data(), 20);
    ip[10] = uint8_t(checksum >> 8);
    ip[11] = uint8_t(checksum);
    PutBe16(ip, sourcePort);
    PutBe16(ip, destPort);
    PutBe16(ip, uint16_t(8 + length));
    PutBe16(ip, 0);  // no UDP checksum
    ip.insert(ip.end(), payload, payload + length);

    std::vector<uint8_t> record;
    PutLe32(record, uint32_t(timeMicros / 1000000));
    PutLe32(record, uint32_t(timeMicros % 1000000));
    PutLe32(record, uint32_t(ip.size()));
    PutLe32(record, uint32_t(ip.size()));
    record.insert(record.end(), ip.begin(), ip.end());
    std::lock_guard guard(lock_);
    std::fwrite(record.data(), 1, record.size(), file_);
    std::fflush(file_);
}
