#pragma once
// The manifest's signature file: the Base64 text, on one line and perhaps
// with a line break after it, of a DER ECDSA-Sig-Value, as
// `openssl dgst -sha256 -sign key.pem update.xml | base64 -w0` writes it.
#include <string_view>

#include "platform/crypto.h"
#include "update/trust/trust_problems.h"

namespace update::trust {

struct SignatureReading {
    platform::P256Signature signature;  // r and s, only when problem is None
    TrustProblem problem = TrustProblem::None;
};

// Integers must be positive, in their shortest form and at most 32 bytes
// long; nothing may follow them.
SignatureReading ReadSignatureFile(std::string_view fileText);

}  // namespace update::trust
