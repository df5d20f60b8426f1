#pragma once
#include <cstddef>
#include <cstdint>

#include "talk/rtp/rtcp_packets.h"

namespace rtp {

// One packet of a compound RTCP datagram.
struct RtcpPacketView {
    const uint8_t* data = nullptr;
    RtcpHeader header;
};

// Checks a whole compound before anything is used: the first packet is version 2
// with a type of 200..204, every packet lies inside the datagram, and the report
// blocks, BYE sources and SDES items each packet claims fit inside it.
bool ValidRtcpCompound(const uint8_t* data, size_t length);

// Walks a compound that passed ValidRtcpCompound; false at the end.
class RtcpWalker {
public:
    RtcpWalker(const uint8_t* data, size_t length) : data_(data), length_(length) {}
    bool Next(RtcpPacketView& packet);

private:
    const uint8_t* data_;
    size_t length_;
    size_t offset_ = 0;
};

}  // namespace rtp
