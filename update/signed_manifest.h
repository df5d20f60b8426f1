#pragma once
// A signed manifest taken in: every check passes before anything of it is
// used. In order: the signature over the exact bytes the server sent, the
// document element's serial and expiry, and every entry's size and digest.
#include <cstdint>
#include <string_view>
#include <vector>

#include "platform/crypto.h"
#include "update/client_trust.h"
#include "update/update_documents.h"

namespace update {

struct SignedManifestCheck {
    const std::vector<platform::P256PublicKey>& keys;
    uint64_t highestAccepted;  // the client folder's highest accepted serial
    int64_t now;               // seconds since 1970, UTC
};

enum class SignedManifestResult {
    Accepted,   // every check passed: the manifest, its digests and its serial are given
    Refused,    // a check failed: see the refusal
    Malformed,  // signed, but no manifest the updater can read
};

struct SignedManifestReading {
    SignedManifestResult result = SignedManifestResult::Refused;
    TrustRefusal refusal;
    Manifest manifest;    // every entry with its digest; only when accepted
    uint64_t serial = 0;  // the manifest's own, to be kept as the highest accepted
};

// `bytes`: the manifest's body; `signature`: the signature file's text, empty
// when the server had none.
SignedManifestReading ReadSignedManifest(const SignedManifestCheck& check, std::string_view bytes,
                                         std::string_view signature);

// The checks that follow the signature's, on the manifest's element tree.
SignedManifestReading ReadSignedManifestTree(const platform::XmlNode& document, uint64_t highestAccepted,
                                             int64_t now);

}  // namespace update
