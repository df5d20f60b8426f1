#include "update/trust/manifest_signature.h"

#include <algorithm>

#include "update/trust/signature_file.h"

namespace update::trust {

bool SignedByAnyKey(const std::vector<platform::P256PublicKey>& keys, std::string_view bytes,
                    const platform::P256Signature& signature) {
    platform::Sha256 sha256;
    sha256.Add(bytes.data(), bytes.size());
    const std::optional<platform::Sha256Digest> digest = sha256.Finish();
    return digest && std::any_of(keys.begin(), keys.end(), [&](const platform::P256PublicKey& key) {
               return platform::VerifyP256Signature(key, *digest, signature);
           });
}

TrustProblem CheckManifestSignature(const std::vector<platform::P256PublicKey>& keys, std::string_view manifest,
                                    std::string_view signatureFileText) {
    const SignatureReading reading = ReadSignatureFile(signatureFileText);
    if (reading.problem != TrustProblem::None) return reading.problem;
    return SignedByAnyKey(keys, manifest, reading.signature) ? TrustProblem::None
                                                             : TrustProblem::NotSignedByTrustedKey;
}

}  // namespace update::trust
