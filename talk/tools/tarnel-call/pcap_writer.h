#pragma once
#include <cstdint>
#include <cstdio>
#include <mutex>
#include <string>

// Writes UDP datagrams as IPv4 packets into a capture file of the classic
// libpcap format (link type raw IPv4), for any dissector to read.
class PcapWriter {
public:
    ~PcapWriter();
    bool Open(const std::string& path);
    // Addresses in network order, ports in host order; time in microseconds since 1970.
    void Write(uint64_t timeMicros, uint32_t sourceAddress, uint16_t sourcePort, uint32_t destAddress,
               uint16_t destPort, const uint8_t* payload, int32_t length);

private:
    std::mutex lock_;
    std::FILE* file_ = nullptr;
};
