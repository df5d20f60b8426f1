#include <windows.h>
#include <bcrypt.h>

#include <algorithm>

#include "platform/crypto.h"

namespace platform {

namespace {

// An algorithm provider, opened once per process: opening one is the slow
// part of CNG, and a provider serves every thread.
class Provider {
public:
    explicit Provider(const wchar_t* algorithm) {
        if (!BCRYPT_SUCCESS(BCryptOpenAlgorithmProvider(&handle_, algorithm, nullptr, 0))) handle_ = nullptr;
    }
    ~Provider() {
        if (handle_) BCryptCloseAlgorithmProvider(handle_, 0);
    }
    BCRYPT_ALG_HANDLE Handle() const { return handle_; }

private:
    BCRYPT_ALG_HANDLE handle_ = nullptr;
};

BCRYPT_ALG_HANDLE Sha256Provider() {
    static const Provider provider(BCRYPT_SHA256_ALGORITHM);
    return provider.Handle();
}

BCRYPT_ALG_HANDLE EcdsaP256Provider() {
    static const Provider provider(BCRYPT_ECDSA_P256_ALGORITHM);
    return provider.Handle();
}

}  // namespace

// CNG keeps the hash object itself (Windows 7 and later).
struct Sha256::State {
    BCRYPT_HASH_HANDLE hash = nullptr;
    bool failed = !Sha256Provider() ||
                  !BCRYPT_SUCCESS(BCryptCreateHash(Sha256Provider(), &hash, nullptr, 0, nullptr, 0, 0));
    ~State() {
        if (hash) BCryptDestroyHash(hash);
    }
};

Sha256::Sha256() : state_(std::make_unique<State>()) {}
Sha256::~Sha256() = default;

void Sha256::Add(const void* data, std::size_t size) {
    // CNG counts in 32-bit lengths.
    auto* bytes = static_cast<UCHAR*>(const_cast<void*>(data));
    while (!state_->failed && size > 0) {
        const ULONG piece = ULONG(std::min<std::size_t>(size, 1u << 30));
        state_->failed = !BCRYPT_SUCCESS(BCryptHashData(state_->hash, bytes, piece, 0));
        bytes += piece;
        size -= piece;
    }
}

std::optional<Sha256Digest> Sha256::Finish() {
    Sha256Digest digest;
    if (state_->failed || !BCRYPT_SUCCESS(BCryptFinishHash(state_->hash, digest.data(), ULONG(digest.size()), 0)))
        return std::nullopt;
    state_->failed = true;  // nothing more may be added
    return digest;
}

bool VerifyP256Signature(const P256PublicKey& key, const Sha256Digest& digest, const P256Signature& signature) {
    // A BCRYPT_ECCPUBLIC_BLOB: the header, then X and Y.
    struct {
        BCRYPT_ECCKEY_BLOB header{BCRYPT_ECDSA_PUBLIC_P256_MAGIC, 32};
        std::array<uint8_t, 32> x, y;
    } blob{.x = key.x, .y = key.y};
    static_assert(sizeof blob == sizeof(BCRYPT_ECCKEY_BLOB) + 64, "the blob is packed");
    // CNG takes the signature as r and s side by side.
    std::array<UCHAR, 64> raw;
    std::copy(signature.r.begin(), signature.r.end(), raw.begin());
    std::copy(signature.s.begin(), signature.s.end(), raw.begin() + 32);

    BCRYPT_KEY_HANDLE handle = nullptr;
    if (!EcdsaP256Provider() ||
        !BCRYPT_SUCCESS(BCryptImportKeyPair(EcdsaP256Provider(), nullptr, BCRYPT_ECCPUBLIC_BLOB, &handle,
                                            reinterpret_cast<PUCHAR>(&blob), ULONG(sizeof blob), 0)))
        return false;
    Sha256Digest hashed = digest;
    const NTSTATUS status =
        BCryptVerifySignature(handle, nullptr, hashed.data(), ULONG(hashed.size()), raw.data(), ULONG(raw.size()), 0);
    BCryptDestroyKey(handle);
    return status == 0;  // STATUS_SUCCESS; STATUS_INVALID_SIGNATURE otherwise
}

}  // namespace platform
