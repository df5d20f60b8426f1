#pragma once
// SHA-256 and ECDSA signature checks over the NIST P-256 curve, from the
// platform's own cryptographic library, so that nothing of ours decides
// whether a signature holds.
#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>

namespace platform {

using Sha256Digest = std::array<uint8_t, 32>;

// SHA-256 over bytes fed as they arrive, so that data can be hashed while it
// is written elsewhere and never read twice.
class Sha256 {
public:
    Sha256();
    ~Sha256();
    Sha256(const Sha256&) = delete;
    Sha256& operator=(const Sha256&) = delete;

    void Add(const void* data, std::size_t size);
    // The digest of everything added; nothing when the platform failed at any
    // point. The hash ends here: add nothing afterwards.
    std::optional<Sha256Digest> Finish();

    struct State;  // each platform's own

private:
    std::unique_ptr<State> state_;
};

// A P-256 public key as the affine coordinates of its point, big-endian.
struct P256PublicKey {
    std::array<uint8_t, 32> x{};
    std::array<uint8_t, 32> y{};
};

// An ECDSA signature as its two integers, big-endian and zero-padded.
struct P256Signature {
    std::array<uint8_t, 32> r{};
    std::array<uint8_t, 32> s{};
};

// True only when `signature` over `digest` was made with the private half of
// `key`. A key the platform refuses (a point off the curve) or a failure of
// the platform is false.
bool VerifyP256Signature(const P256PublicKey& key, const Sha256Digest& digest, const P256Signature& signature);

}  // namespace platform
