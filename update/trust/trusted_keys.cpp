#include "update/trust/trusted_keys.h"

#include <algorithm>
#include <optional>
#include <span>
#include <string>

#include "update/trust/der_reader.h"
#include "update/trust/strict_base64.h"

namespace update::trust {
namespace {

constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";  // the mark some editors put first
constexpr std::string_view kDashes = "-----";
constexpr std::string_view kBegin = "-----BEGIN ";
constexpr std::string_view kPublicKeyEnd = "-----END PUBLIC KEY-----";
constexpr std::string_view kPublicKeyLabel = "PUBLIC KEY";

// The contents of the object identifiers id-ecPublicKey (1.2.840.10045.2.1)
// and prime256v1 (1.2.840.10045.3.1.7).
constexpr uint8_t kEcPublicKeyOid[] = {0x2A, 0x86, 0x48, 0xCE, 0x3D, 0x02, 0x01};
constexpr uint8_t kPrime256v1Oid[] = {0x2A, 0x86, 0x48, 0xCE, 0x3D, 0x03, 0x01, 0x07};
constexpr uint8_t kUncompressedPoint = 0x04;
constexpr size_t kCoordinateSize = 32;

// The lines of a text without their terminators and trailing white space.
class Lines {
public:
    explicit Lines(std::string_view text) : rest_(text) {}
    bool Next(std::string_view& line) {
        if (rest_.empty()) return false;
        const size_t end = std::min(rest_.find('\n'), rest_.size());
        line = rest_.substr(0, end);
        rest_.remove_prefix(std::min(end + 1, rest_.size()));
        while (!line.empty() && (line.back() == '\r' || line.back() == ' ' || line.back() == '\t'))
            line.remove_suffix(1);
        return true;
    }

private:
    std::string_view rest_;
};

// The label of a "-----BEGIN label-----" line; nothing for any other line.
std::optional<std::string_view> BeginLabel(std::string_view line) {
    if (!line.starts_with(kBegin) || !line.ends_with(kDashes) || line.size() < kBegin.size() + kDashes.size())
        return std::nullopt;
    return line.substr(kBegin.size(), line.size() - kBegin.size() - kDashes.size());
}

// The Base64 lines up to the block's end line, joined; false when another
// boundary line or the end of the text comes first.
bool ReadBlockBody(Lines& lines, std::string& base64) {
    std::string_view line;
    while (lines.Next(line)) {
        if (line == kPublicKeyEnd) return true;
        if (line.starts_with(kDashes)) return false;
        base64 += line;
    }
    return false;
}

bool Same(std::span<const uint8_t> bytes, std::span<const uint8_t> expected) {
    return std::equal(bytes.begin(), bytes.end(), expected.begin(), expected.end());
}

// SEQUENCE { SEQUENCE { id-ecPublicKey, prime256v1 }, BIT STRING { 04 x y } }
// with nothing before, between or after.
TrustProblem ReadPublicKeyInfo(std::span<const uint8_t> der, platform::P256PublicKey& key) {
    DerReader whole(der), info({}), algorithm({});
    std::span<const uint8_t> oid, curve, bits;
    if (!whole.Enter(kDerSequence, info) || !whole.AtEnd() || !info.Enter(kDerSequence, algorithm) ||
        !algorithm.Read(kDerObjectIdentifier, oid))
        return TrustProblem::NotPublicKeyInfo;
    if (!Same(oid, kEcPublicKeyOid)) return TrustProblem::NotEcKey;
    if (!algorithm.Read(kDerObjectIdentifier, curve) || !Same(curve, kPrime256v1Oid)) return TrustProblem::NotP256;
    // A bit string of whole bytes starts with a zero count of unused bits.
    if (!algorithm.AtEnd() || !info.Read(kDerBitString, bits) || !info.AtEnd() || bits.empty() || bits[0] != 0)
        return TrustProblem::NotPublicKeyInfo;
    const std::span<const uint8_t> point = bits.subspan(1);
    if (point.size() != 1 + 2 * kCoordinateSize || point[0] != kUncompressedPoint)
        return TrustProblem::PointNotUncompressed;
    std::copy_n(point.begin() + 1, kCoordinateSize, key.x.begin());
    std::copy_n(point.begin() + 1 + kCoordinateSize, kCoordinateSize, key.y.begin());
    return TrustProblem::None;
}

TrustedKeys Refused(TrustProblem problem, size_t block) { return TrustedKeys{{}, problem, block}; }

}  // namespace

TrustedKeys ReadTrustedKeys(std::string_view fileText) {
    if (fileText.starts_with(kUtf8Mark)) fileText.remove_prefix(kUtf8Mark.size());
    std::vector<platform::P256PublicKey> keys;
    Lines lines(fileText);
    std::string_view line;
    while (lines.Next(line)) {
        if (!line.starts_with(kDashes)) continue;  // text between the blocks
        const size_t block = keys.size() + 1;
        const std::optional<std::string_view> label = BeginLabel(line);
        if (!label) return Refused(TrustProblem::BrokenBlock, block);
        if (*label != kPublicKeyLabel) return Refused(TrustProblem::NotPublicKeyBlock, block);
        std::string base64;
        if (!ReadBlockBody(lines, base64)) return Refused(TrustProblem::BrokenBlock, block);
        const std::optional<std::vector<uint8_t>> der = DecodeStrictBase64(base64);
        if (!der) return Refused(TrustProblem::KeyNotBase64, block);
        platform::P256PublicKey key;
        if (const TrustProblem problem = ReadPublicKeyInfo(*der, key); problem != TrustProblem::None)
            return Refused(problem, block);
        keys.push_back(key);
    }
    if (keys.empty()) return Refused(TrustProblem::NoKey, 0);
    return TrustedKeys{std::move(keys), TrustProblem::None, 0};
}

}  // namespace update::trust
