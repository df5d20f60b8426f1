#include "update/trust/der_reader.h"

namespace update::trust {
namespace {

constexpr uint8_t kLongLength = 0x80;
constexpr size_t kMaxLengthBytes = 4;  // nothing we read comes near 4 GB
static_assert(sizeof(size_t) >= kMaxLengthBytes, "every length read fits a size_t");

// The content length at the start of `header` (after the tag) and the bytes
// it takes; false for an indefinite, overlong or non-minimal length.
bool ReadLength(std::span<const uint8_t> header, size_t& length, size_t& used) {
    if (header.empty()) return false;
    const uint8_t first = header[0];
    if (first < kLongLength) {
        length = first;
        used = 1;
        return true;
    }
    const size_t count = first & 0x7F;
    if (count == 0 || count > kMaxLengthBytes || count >= header.size() || header[1] == 0) return false;
    uint64_t value = 0;
    for (size_t i = 1; i <= count; ++i) value = value << 8 | header[i];
    if (value < kLongLength) return false;  // the short form was due
    length = size_t(value);
    used = 1 + count;
    return true;
}

}  // namespace

bool DerReader::Read(uint8_t tag, std::span<const uint8_t>& content) {
    size_t length = 0;
    size_t lengthBytes = 0;
    if (rest_.empty() || rest_[0] != tag || !ReadLength(rest_.subspan(1), length, lengthBytes)) return false;
    const size_t header = 1 + lengthBytes;
    if (length > rest_.size() - header) return false;
    content = rest_.subspan(header, length);
    rest_ = rest_.subspan(header + length);
    return true;
}

bool DerReader::Enter(uint8_t tag, DerReader& content) {
    std::span<const uint8_t> bytes;
    if (!Read(tag, bytes)) return false;
    content = DerReader(bytes);
    return true;
}

}  // namespace update::trust
