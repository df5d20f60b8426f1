#pragma once
// The client folder's key file: one or more PEM "PUBLIC KEY" blocks, each a
// SubjectPublicKeyInfo of an ECDSA key on P-256 with an uncompressed point,
// as `openssl ec -pubout` writes it. Text between the blocks is passed over.
#include <cstddef>
#include <string_view>
#include <vector>

#include "platform/crypto.h"
#include "update/trust/trust_problems.h"

namespace update::trust {

struct TrustedKeys {
    std::vector<platform::P256PublicKey> keys;  // in file order; empty unless problem is None
    TrustProblem problem = TrustProblem::None;
    std::size_t block = 0;                       // 1-based block the problem is about, 0 for none
};

// Reads the whole file before it gives any key: one bad block refuses them all.
TrustedKeys ReadTrustedKeys(std::string_view fileText);

}  // namespace update::trust
