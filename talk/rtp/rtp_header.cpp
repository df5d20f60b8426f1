#include "talk/rtp/rtp_header.h"

#include "common/byte_order.h"

namespace rtp {
namespace {

// Header length after the contributing sources and any extension; null if it overruns.
std::optional<size_t> HeaderLength(const uint8_t* data, size_t length) {
    size_t header = kRtpHeaderSize + kRtpCsrcSize * size_t(data[kRtpFlagsAt] & kRtpCsrcCountMask);
    if (data[kRtpFlagsAt] & kRtpExtensionBit) {
        if (header + kRtpExtensionHeaderSize > length) return std::nullopt;
        const size_t words = common::GetBe16(data + header + kRtpExtensionLengthAt);
        header += kRtpExtensionHeaderSize + 4 * words;
    }
    if (header > length) return std::nullopt;
    return header;
}

}  // namespace

void WriteRtpHeader(uint8_t* out, const RtpHeader& header) {
    out[kRtpFlagsAt] = kRtpVersion2;
    out[kRtpMarkerTypeAt] = uint8_t((header.marker ? kRtpMarkerBit : 0) | (header.payloadType & kRtpPayloadTypeMask));
    common::PutBe16(out + kRtpSequenceAt, header.sequence);
    common::PutBe32(out + kRtpTimeStampAt, header.timeStamp);
    common::PutBe32(out + kRtpSsrcAt, header.ssrc);
}

RtpHeader ReadRtpHeader(const uint8_t* in) {
    RtpHeader header;
    header.marker = (in[kRtpMarkerTypeAt] & kRtpMarkerBit) != 0;
    header.payloadType = in[kRtpMarkerTypeAt] & kRtpPayloadTypeMask;
    header.sequence = common::GetBe16(in + kRtpSequenceAt);
    header.timeStamp = common::GetBe32(in + kRtpTimeStampAt);
    header.ssrc = common::GetBe32(in + kRtpSsrcAt);
    return header;
}

std::optional<RtpPayloadSpan> ParseRtp(const uint8_t* data, size_t length) {
    if (!data || length < kMinRtpDatagram || !(data[kRtpFlagsAt] & kRtpVersion2)) return std::nullopt;
    const auto header = HeaderLength(data, length);
    if (!header) return std::nullopt;
    size_t payload = length - *header;
    if (data[kRtpFlagsAt] & kRtpPaddingBit) {
        const size_t padding = data[length - 1];
        if (padding > payload) return std::nullopt;
        payload -= padding;
    }
    return RtpPayloadSpan{ReadRtpHeader(data), *header, payload};
}

}  // namespace rtp
