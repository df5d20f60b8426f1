#include "update/tools/publish/vendor_key.h"

#include <openssl/evp.h>
#include <openssl/pem.h>

#include "update/tools/publish/publish_error.h"

namespace publish {

namespace {

constexpr char kCurve[] = "P-256";
constexpr char kCurveName[] = "prime256v1";

// A memory BIO's contents as text.
std::string Contents(BIO* bio) {
    char* data = nullptr;
    const long length = BIO_get_mem_data(bio, &data);
    return length > 0 ? std::string(data, std::size_t(length)) : std::string();
}

class MemoryBio {
public:
    MemoryBio() : bio_(BIO_new(BIO_s_mem())) {
        if (bio_ == nullptr) throw PublishError("libcrypto: out of memory");
    }
    explicit MemoryBio(const std::string& text) : bio_(BIO_new_mem_buf(text.data(), int(text.size()))) {
        if (bio_ == nullptr) throw PublishError("libcrypto: out of memory");
    }
    ~MemoryBio() { BIO_free(bio_); }
    MemoryBio(const MemoryBio&) = delete;
    MemoryBio& operator=(const MemoryBio&) = delete;
    BIO* get() const { return bio_; }

private:
    BIO* bio_;
};

std::string PublicPemOf(EVP_PKEY* key) {
    MemoryBio out;
    if (PEM_write_bio_PUBKEY(out.get(), key) != 1) throw PublishError("libcrypto cannot write the public key");
    return Contents(out.get());
}

bool IsP256(EVP_PKEY* key) {
    char group[64] = {};
    std::size_t length = 0;
    return EVP_PKEY_is_a(key, "EC") && EVP_PKEY_get_group_name(key, group, sizeof group, &length) == 1 &&
           std::string(group, length) == kCurveName;
}

}  // namespace

struct VendorKey::Key {
    EVP_PKEY* pkey = nullptr;
    ~Key() { EVP_PKEY_free(pkey); }
};

KeyPair GenerateKeyPair() {
    VendorKey::Key key;
    key.pkey = EVP_PKEY_Q_keygen(nullptr, nullptr, "EC", kCurve);
    if (key.pkey == nullptr) throw PublishError("libcrypto cannot make a P-256 key");
    MemoryBio out;
    if (PEM_write_bio_PrivateKey(out.get(), key.pkey, nullptr, nullptr, 0, nullptr, nullptr) != 1)
        throw PublishError("libcrypto cannot write the private key");
    return {Contents(out.get()), PublicPemOf(key.pkey)};
}

VendorKey::VendorKey(const std::string& pem) : key_(std::make_unique<Key>()) {
    MemoryBio in(pem);
    key_->pkey = PEM_read_bio_PrivateKey(in.get(), nullptr, nullptr, nullptr);
    if (key_->pkey == nullptr) throw PublishError("not a PEM private key (an encrypted one is not read)");
    if (!IsP256(key_->pkey)) throw PublishError("not an ECDSA key on P-256 (prime256v1)");
}

VendorKey::~VendorKey() = default;

std::string VendorKey::Sign(std::string_view bytes) const {
    EVP_MD_CTX* context = EVP_MD_CTX_new();
    std::string signature;
    std::size_t length = 0;
    bool signedOk = context != nullptr &&
                    EVP_DigestSignInit(context, nullptr, EVP_sha256(), nullptr, key_->pkey) == 1 &&
                    EVP_DigestSign(context, nullptr, &length, reinterpret_cast<const unsigned char*>(bytes.data()),
                                   bytes.size()) == 1;
    if (signedOk) {
        signature.resize(length);
        signedOk = EVP_DigestSign(context, reinterpret_cast<unsigned char*>(signature.data()), &length,
                                  reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size()) == 1;
        signature.resize(length);
    }
    EVP_MD_CTX_free(context);
    if (!signedOk) throw PublishError("libcrypto cannot sign the manifest");
    return signature;
}

std::string VendorKey::PublicPem() const { return PublicPemOf(key_->pkey); }

}  // namespace publish
