#include "update/trust/signature_file.h"

#include <algorithm>
#include <array>
#include <optional>
#include <span>
#include <vector>

#include "common/base64.h"
#include "update/trust/der_reader.h"
#include "update/trust/strict_base64.h"

namespace update::trust {
namespace {

// SEQUENCE, two INTEGERs of 1 + 32 bytes each (a leading zero keeps a high bit positive).
constexpr size_t kMaxSignatureDer = 2 + 2 * (2 + 1 + 32);

// The integer's magnitude right-aligned in `out`; false for a negative,
// zero, padded or too long integer.
bool ReadScalar(DerReader& sequence, std::array<uint8_t, 32>& out) {
    std::span<const uint8_t> bytes;
    if (!sequence.Read(kDerInteger, bytes) || bytes.empty() || (bytes[0] & 0x80)) return false;
    if (bytes[0] == 0 && bytes.size() > 1) {
        if (!(bytes[1] & 0x80)) return false;  // a zero byte that was not needed
        bytes = bytes.subspan(1);
    }
    if (bytes.size() > out.size() || std::all_of(bytes.begin(), bytes.end(), [](uint8_t b) { return b == 0; }))
        return false;
    out.fill(0);
    std::copy(bytes.begin(), bytes.end(), out.end() - bytes.size());
    return true;
}

std::string_view WithoutLineBreak(std::string_view text) {
    if (text.ends_with('\n')) text.remove_suffix(1);
    if (text.ends_with('\r')) text.remove_suffix(1);
    return text;
}

bool OnlyBase64Characters(std::string_view text) {
    return std::all_of(text.begin(), text.end(), [](char c) { return c == '=' || common::Base64Value(c) >= 0; });
}

SignatureReading Refused(TrustProblem problem) { return SignatureReading{{}, problem}; }

}  // namespace

SignatureReading ReadSignatureFile(std::string_view fileText) {
    const std::string_view base64 = WithoutLineBreak(fileText);
    if (base64.empty()) return Refused(TrustProblem::SignatureMissing);
    if (!OnlyBase64Characters(base64)) return Refused(TrustProblem::SignatureNotBase64);
    // Anything longer cannot be a signature: refused before it is decoded.
    if (base64.size() > common::Base64Length(kMaxSignatureDer)) return Refused(TrustProblem::SignatureMalformed);
    const std::optional<std::vector<uint8_t>> der = DecodeStrictBase64(base64);
    if (!der) return Refused(TrustProblem::SignatureNotBase64);
    DerReader whole(*der), sequence({});
    platform::P256Signature signature;
    if (!whole.Enter(kDerSequence, sequence) || !whole.AtEnd() || !ReadScalar(sequence, signature.r) ||
        !ReadScalar(sequence, signature.s) || !sequence.AtEnd())
        return Refused(TrustProblem::SignatureMalformed);
    return SignatureReading{signature, TrustProblem::None};
}

}  // namespace update::trust
