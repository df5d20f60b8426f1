#pragma once
// The vendor's signing key: an ECDSA key on P-256 in PEM, made and used
// through OpenSSL's libcrypto.
#include <memory>
#include <string>
#include <string_view>

namespace publish {

struct KeyPair {
    std::string privatePem;  // PKCS#8 "PRIVATE KEY", for the vendor alone
    std::string publicPem;   // SubjectPublicKeyInfo "PUBLIC KEY": update-key.pem
};

// A fresh key pair. Throws PublishError.
KeyPair GenerateKeyPair();

class VendorKey {
public:
    // A PEM private key of any form openssl writes; throws PublishError for
    // anything but a P-256 key.
    explicit VendorKey(const std::string& pem);
    ~VendorKey();
    VendorKey(const VendorKey&) = delete;
    VendorKey& operator=(const VendorKey&) = delete;

    // The DER ECDSA signature over SHA-256 of `bytes`, as `openssl dgst
    // -sha256 -sign` makes it.
    std::string Sign(std::string_view bytes) const;
    // The key's public half as a "PUBLIC KEY" block.
    std::string PublicPem() const;

    struct Key;

private:
    std::unique_ptr<Key> key_;
};

}  // namespace publish
