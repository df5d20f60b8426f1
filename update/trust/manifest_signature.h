#pragma once
// Whether the manifest's exact bytes, as the server sent them, were signed by
// one of the client folder's trusted keys.
#include <string_view>
#include <vector>

#include "platform/crypto.h"
#include "update/trust/trust_problems.h"

namespace update::trust {

// True when any one of `keys` made `signature` over `bytes`.
bool SignedByAnyKey(const std::vector<platform::P256PublicKey>& keys, std::string_view bytes,
                    const platform::P256Signature& signature);

// The signature file's text (see ReadSignatureFile) checked against the
// manifest's bytes: None when one of `keys` signed exactly these bytes.
TrustProblem CheckManifestSignature(const std::vector<platform::P256PublicKey>& keys, std::string_view manifest,
                                    std::string_view signatureFileText);

}  // namespace update::trust
