#pragma once
// Reads DER, the distinguished encoding of ASN.1: one-byte tags, definite
// lengths in their shortest form, and no element reaching past its parent.
#include <cstddef>
#include <cstdint>
#include <span>

namespace update::trust {

inline constexpr uint8_t kDerInteger = 0x02;
inline constexpr uint8_t kDerBitString = 0x03;
inline constexpr uint8_t kDerObjectIdentifier = 0x06;
inline constexpr uint8_t kDerSequence = 0x30;

class DerReader {
public:
    explicit DerReader(std::span<const uint8_t> data) : rest_(data) {}

    // The content of the next element when its tag is `tag` and its length
    // is well formed and fits; false (and nothing consumed) otherwise.
    bool Read(uint8_t tag, std::span<const uint8_t>& content);
    // The same, for a constructed element read as a reader of its own.
    bool Enter(uint8_t tag, DerReader& content);
    bool AtEnd() const { return rest_.empty(); }

private:
    std::span<const uint8_t> rest_;
};

}  // namespace update::trust
