#pragma once
#include <cstddef>
#include <cstdint>
#include <optional>

// The RTP header (RFC 3550 section 5.1): its layout, its writer and its reader.
// All fields are big-endian.
namespace rtp {

constexpr size_t kRtpHeaderSize = 12;  // the fixed part, without contributing sources

// Offsets of the fixed header's fields.
constexpr size_t kRtpFlagsAt = 0;       // version (2 bits), padding, extension, CSRC count (4 bits)
constexpr size_t kRtpMarkerTypeAt = 1;  // marker bit, payload type (7 bits)
constexpr size_t kRtpSequenceAt = 2;
constexpr size_t kRtpTimeStampAt = 4;
constexpr size_t kRtpSsrcAt = 8;

// Bits of the first two bytes.
constexpr uint8_t kRtpVersion2 = 0x80;
constexpr uint8_t kRtpPaddingBit = 0x20;
constexpr uint8_t kRtpExtensionBit = 0x10;
constexpr uint8_t kRtpCsrcCountMask = 0x0F;
constexpr uint8_t kRtpMarkerBit = 0x80;
constexpr uint8_t kRtpPayloadTypeMask = 0x7F;

constexpr size_t kRtpCsrcSize = 4;
// The header extension: 16 profile bits, then its length in 32-bit words.
constexpr size_t kRtpExtensionHeaderSize = 4;
constexpr size_t kRtpExtensionLengthAt = 2;

// Shortest datagram the receive path looks at: the fixed header and a 4-byte payload.
constexpr size_t kMinRtpDatagram = 16;

struct RtpHeader {
    bool marker = false;
    uint8_t payloadType = 0;
    uint16_t sequence = 0;
    uint32_t timeStamp = 0;
    uint32_t ssrc = 0;
};

// Writes the 12 bytes of a version 2 header without padding, extension or contributing sources.
void WriteRtpHeader(uint8_t* out, const RtpHeader& header);
// Reads the fixed fields of the 12 bytes at `in`.
RtpHeader ReadRtpHeader(const uint8_t* in);

// Where the payload of a datagram lies.
struct RtpPayloadSpan {
    RtpHeader header;
    size_t offset = 0;
    size_t length = 0;
};

// Header checks: at least kMinRtpDatagram bytes, the version bit, and the contributing
// sources, extension and padding all inside the datagram. Null when malformed.
std::optional<RtpPayloadSpan> ParseRtp(const uint8_t* data, size_t length);

}  // namespace rtp
