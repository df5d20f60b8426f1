#pragma once
// Why a signed update is refused: one reason for every check of the key
// file, the signature, the manifest's attributes and a downloaded package.
#include <cstddef>
#include <string>

namespace update::trust {

// The client folder's key file; when it is there, only signed updates are taken.
inline constexpr char kTrustedKeysFile[] = "update-key.pem";
// Beside it, the highest manifest serial the folder has accepted, in decimal.
inline constexpr char kAcceptedSerialFile[] = "update-serial.txt";

enum class TrustProblem {
    None,
    // The key file.
    KeyFileUnreadable,    // there, but it cannot be read (or is too large to be a key file)
    NoKey,                // no PUBLIC KEY block at all
    NotPublicKeyBlock,    // a block of another kind: a private key, a certificate
    BrokenBlock,          // a block without its end line, or an end line without its block
    KeyNotBase64,         // a block whose lines are not Base64
    NotPublicKeyInfo,     // not a SubjectPublicKeyInfo, or bytes left over
    NotEcKey,             // a key of another algorithm, such as RSA
    NotP256,              // an elliptic-curve key on another curve
    PointNotUncompressed, // a compressed point, or one of the wrong length
    // The manifest's signature.
    SignatureMissing,
    SignatureNotBase64,
    SignatureMalformed,   // not a DER ECDSA signature of two integers that fit P-256
    NotSignedByTrustedKey,
    // The manifest's attributes.
    SerialMissing,
    SerialMalformed,
    SerialOlder,          // lower than the highest serial this client folder accepted
    AcceptedSerialUnreadable,  // the folder's record of the highest serial is there but unreadable
    ExpiryMalformed,
    Expired,
    SizeMissing,
    SizeMalformed,
    DigestMissing,
    DigestMalformed,
    // A downloaded package.
    PackageNotReceived,   // no 200 answer, or the transfer broke off or could not be stored
    PackageSizeDiffers,
    PackageDigestDiffers,
    HashFailed,           // the platform could not compute the digest
};

// The reason as the updater shows it (GBK). `keyBlock` (1-based) names the
// key file's block that a key file problem is about; 0 names none.
std::string TrustProblemText(TrustProblem problem, std::size_t keyBlock = 0);

}  // namespace update::trust
