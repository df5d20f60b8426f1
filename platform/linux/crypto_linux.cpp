#include <openssl/core_names.h>
#include <openssl/ecdsa.h>
#include <openssl/evp.h>

#include <algorithm>

#include "platform/crypto.h"

namespace platform {

struct Sha256::State {
    EVP_MD_CTX* context = EVP_MD_CTX_new();
    bool failed = context == nullptr || EVP_DigestInit_ex(context, EVP_sha256(), nullptr) != 1;
    ~State() { EVP_MD_CTX_free(context); }
};

Sha256::Sha256() : state_(std::make_unique<State>()) {}
Sha256::~Sha256() = default;

void Sha256::Add(const void* data, std::size_t size) {
    if (!state_->failed && size > 0) state_->failed = EVP_DigestUpdate(state_->context, data, size) != 1;
}

std::optional<Sha256Digest> Sha256::Finish() {
    Sha256Digest digest;
    unsigned length = 0;
    if (state_->failed || EVP_DigestFinal_ex(state_->context, digest.data(), &length) != 1 ||
        length != digest.size())
        return std::nullopt;
    state_->failed = true;  // nothing more may be added
    return digest;
}

namespace {

// The key from its uncompressed point; null when OpenSSL refuses the point.
EVP_PKEY* ImportKey(const P256PublicKey& key) {
    uint8_t point[1 + 2 * 32] = {0x04};
    std::copy(key.x.begin(), key.x.end(), point + 1);
    std::copy(key.y.begin(), key.y.end(), point + 1 + 32);
    char group[] = "prime256v1";
    OSSL_PARAM params[] = {OSSL_PARAM_construct_utf8_string(OSSL_PKEY_PARAM_GROUP_NAME, group, 0),
                           OSSL_PARAM_construct_octet_string(OSSL_PKEY_PARAM_PUB_KEY, point, sizeof point),
                           OSSL_PARAM_construct_end()};
    EVP_PKEY_CTX* context = EVP_PKEY_CTX_new_from_name(nullptr, "EC", nullptr);
    EVP_PKEY* imported = nullptr;
    if (context == nullptr || EVP_PKEY_fromdata_init(context) != 1 ||
        EVP_PKEY_fromdata(context, &imported, EVP_PKEY_PUBLIC_KEY, params) != 1)
        imported = nullptr;
    EVP_PKEY_CTX_free(context);
    return imported;
}

// OpenSSL takes the signature as DER: written by OpenSSL itself from the two integers.
int SignatureDer(const P256Signature& signature, unsigned char*& der) {
    ECDSA_SIG* sig = ECDSA_SIG_new();
    BIGNUM* r = BN_bin2bn(signature.r.data(), int(signature.r.size()), nullptr);
    BIGNUM* s = BN_bin2bn(signature.s.data(), int(signature.s.size()), nullptr);
    int length = -1;
    if (sig != nullptr && r != nullptr && s != nullptr && ECDSA_SIG_set0(sig, r, s) == 1) {
        r = s = nullptr;  // owned by sig now
        length = i2d_ECDSA_SIG(sig, &der);
    }
    BN_free(r);
    BN_free(s);
    ECDSA_SIG_free(sig);
    return length;
}

}  // namespace

bool VerifyP256Signature(const P256PublicKey& key, const Sha256Digest& digest, const P256Signature& signature) {
    EVP_PKEY* publicKey = ImportKey(key);
    unsigned char* der = nullptr;
    const int derLength = publicKey ? SignatureDer(signature, der) : -1;
    EVP_PKEY_CTX* context = derLength > 0 ? EVP_PKEY_CTX_new(publicKey, nullptr) : nullptr;
    const bool valid = context != nullptr && EVP_PKEY_verify_init(context) == 1 &&
                       EVP_PKEY_CTX_set_signature_md(context, EVP_sha256()) == 1 &&
                       EVP_PKEY_verify(context, der, size_t(derLength), digest.data(), digest.size()) == 1;
    EVP_PKEY_CTX_free(context);
    OPENSSL_free(der);
    EVP_PKEY_free(publicKey);
    return valid;
}

}  // namespace platform
