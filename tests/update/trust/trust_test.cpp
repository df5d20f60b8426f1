// The trust checks against keys, signatures and packages made with the openssl
// command line (make_trust_inputs.py), through the platform's own crypto:
// OpenSSL natively, CNG under Wine.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <string>
#include <vector>

#include "common/base64.h"
#include "tests/update/update_test_support.h"
#include "update/trust/background_sha256.h"
#include "update/trust/manifest_attributes.h"
#include "update/trust/manifest_signature.h"
#include "update/trust/package_check.h"
#include "update/trust/signature_file.h"
#include "update/trust/trusted_keys.h"

namespace {

using update::trust::TrustProblem;

std::string Input(const char* name) {
    return updatetest::ReadFile(updatetest::BuildPath(std::string(ZIRO_TRUST_INPUTS) + "/" + name));
}

std::vector<platform::P256PublicKey> Keys(const char* file) {
    const update::trust::TrustedKeys read = update::trust::ReadTrustedKeys(Input(file));
    EXPECT_EQ(read.problem, TrustProblem::None) << file;
    return read.keys;
}

std::string Base64Of(const std::string& bytes) {
    std::string text(common::Base64Length(bytes.size()), '\0');
    common::Base64Encode(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), text.data());
    return text;
}

std::string Integers(const std::string& r, const std::string& s) {
    return "\x02" + std::string(1, char(r.size())) + r + "\x02" + char(s.size()) + s;
}

// A DER signature of two integers with the given contents, as Base64.
std::string SignatureText(const std::string& r, const std::string& s) {
    const std::string integers = Integers(r, s);
    return Base64Of("\x30" + std::string(1, char(integers.size())) + integers);
}

TEST(TrustedKeys, ReadsOneOrMoreP256KeysAndRefusesEverythingElse) {
    EXPECT_EQ(Keys("trusted-1.pem").size(), 1u);
    const auto two = Keys("two-keys.pem");  // text between the blocks, the second with CRLF
    ASSERT_EQ(two.size(), 2u);
    EXPECT_NE(two[0].x, two[1].x);

    struct Case {
        std::string text;
        TrustProblem problem;
        size_t block;
    };
    const std::string good = Input("trusted-1.pem");
    const std::vector<Case> refused = {
        {Input("p384.pem"), TrustProblem::NotP256, 1},
        {good + Input("rsa.pem"), TrustProblem::NotEcKey, 2},
        {Input("compressed.pem"), TrustProblem::PointNotUncompressed, 1},
        {Input("stranger.key"), TrustProblem::NotPublicKeyBlock, 1},  // a private key given as the key file
        {good + good.substr(0, good.size() - 10), TrustProblem::BrokenBlock, 2},
        {"-----END PUBLIC KEY-----\n" + good, TrustProblem::BrokenBlock, 1},
        {std::string(good).insert(40, "*"), TrustProblem::KeyNotBase64, 1},
        {"-----BEGIN PUBLIC KEY-----\nMAA=\n-----END PUBLIC KEY-----\n", TrustProblem::NotPublicKeyInfo, 1},
        {"", TrustProblem::NoKey, 0},
        {"no key here\n", TrustProblem::NoKey, 0},
    };
    for (const Case& c : refused) {
        const auto read = update::trust::ReadTrustedKeys(c.text);
        EXPECT_EQ(read.problem, c.problem) << c.text;
        EXPECT_EQ(read.block, c.block) << c.text;
        EXPECT_TRUE(read.keys.empty());
    }
    EXPECT_EQ(update::trust::TrustProblemText(TrustProblem::NotP256, 2),
              "update-key.pem：第 2 块公钥不在 P-256 (prime256v1) 曲线上");
}

TEST(ManifestSignature, AnyTrustedKeySignsExactlyTheseBytes) {
    const std::string manifest = Input("manifest.xml");
    const auto both = Keys("two-keys.pem");
    const auto first = Keys("trusted-1.pem");
    using update::trust::CheckManifestSignature;
    EXPECT_EQ(CheckManifestSignature(both, manifest, Input("manifest.xml.sig-1")), TrustProblem::None);
    EXPECT_EQ(CheckManifestSignature(both, manifest, Input("manifest.xml.sig-2")), TrustProblem::None);
    EXPECT_EQ(CheckManifestSignature(first, manifest, Input("manifest.xml.sig-1")), TrustProblem::None);
    EXPECT_EQ(CheckManifestSignature(first, manifest, Input("manifest.xml.sig-2")),
              TrustProblem::NotSignedByTrustedKey);
    EXPECT_EQ(CheckManifestSignature(both, manifest, Input("manifest.xml.sig-stranger")),
              TrustProblem::NotSignedByTrustedKey);
    EXPECT_EQ(CheckManifestSignature(both, Input("tampered.xml"), Input("manifest.xml.sig-1")),
              TrustProblem::NotSignedByTrustedKey);
    // The bytes as sent: a manifest with its line breaks taken out is other bytes.
    std::string joined = manifest;
    std::erase(joined, '\n');
    EXPECT_EQ(CheckManifestSignature(both, joined, Input("manifest.xml.sig-1")), TrustProblem::NotSignedByTrustedKey);
    // An integer of fewer than 32 bytes is padded, not shifted.
    EXPECT_EQ(CheckManifestSignature(first, Input("short.xml"), Input("short.xml.sig")), TrustProblem::None);
}

TEST(SignatureFile, RefusesAnythingButOneLineOfMinimalDer) {
    const std::string r(32, '\x11'), s(32, '\x22');
    const std::string high = std::string(1, '\0') + "\x80" + std::string(31, '\x33');
    const auto read = update::trust::ReadSignatureFile(SignatureText(high, s) + "\r\n");
    ASSERT_EQ(read.problem, TrustProblem::None);
    EXPECT_EQ(read.signature.r[0], 0x80);
    EXPECT_EQ(read.signature.s[31], 0x22);
    EXPECT_EQ(update::trust::ReadSignatureFile(SignatureText("\x05", s)).signature.r[31], 5);

    const std::string line = Input("manifest.xml.sig-1");
    const std::vector<std::pair<std::string, TrustProblem>> refused = {
        {"", TrustProblem::SignatureMissing},
        {"\n", TrustProblem::SignatureMissing},
        {line.substr(0, 40) + "\n" + line.substr(40), TrustProblem::SignatureNotBase64},
        {line.substr(0, 92) + "\n\n", TrustProblem::SignatureNotBase64},
        {std::string(line).replace(8, 1, " "), TrustProblem::SignatureNotBase64},
        {line + line, TrustProblem::SignatureMalformed},  // longer than any signature
        {SignatureText(std::string(1, '\0') + "\x11" + r.substr(1), s), TrustProblem::SignatureMalformed},
        {SignatureText("\x80" + r.substr(1), s), TrustProblem::SignatureMalformed},  // negative
        {SignatureText("\x01" + r, s), TrustProblem::SignatureMalformed},            // 33 bytes
        {SignatureText(std::string(1, '\0'), s), TrustProblem::SignatureMalformed},  // zero
        {SignatureText("", s), TrustProblem::SignatureMalformed},
        {SignatureText(r, s + "\x01"), TrustProblem::SignatureMalformed},
        {Base64Of("\x30\x81\x44" + Integers(r, s)), TrustProblem::SignatureMalformed},  // 68 in the long form
    };
    for (const auto& [text, problem] : refused)
        EXPECT_EQ(update::trust::ReadSignatureFile(text).problem, problem) << text;
}

TEST(ManifestAttributes, ValuesAreCheckedWhole) {
    using update::trust::ParseDecimal;
    using update::trust::ParseUtcTime;
    EXPECT_EQ(ParseDecimal("18446744073709551615"), UINT64_MAX);
    EXPECT_EQ(ParseDecimal("007"), 7u);
    for (const char* bad : {"18446744073709551616", "99999999999999999999", "", "+1", "-1", " 1", "1 ", "1e3", "0x10"})
        EXPECT_FALSE(ParseDecimal(bad)) << bad;

    EXPECT_EQ(ParseUtcTime("1970-01-01T00:00:00Z"), 0);
    EXPECT_EQ(ParseUtcTime("2000-02-29T12:34:56Z"), 951827696);
    EXPECT_EQ(ParseUtcTime("2100-03-01T00:00:00Z"), 4107542400);
    EXPECT_EQ(ParseUtcTime("9999-12-31T23:59:59Z"), 253402300799);
    for (const char* bad : {"2100-02-29T00:00:00Z", "2023-02-29T00:00:00Z", "2024-04-31T00:00:00Z",
                            "2024-13-01T00:00:00Z", "2024-00-01T00:00:00Z", "2024-01-00T00:00:00Z",
                            "2024-01-01T24:00:00Z", "2024-01-01T00:60:00Z", "2024-01-01T00:00:60Z",
                            "1969-12-31T23:59:59Z", "2024-01-01t00:00:00z", "2024-01-01T00:00:00",
                            "2024-01-01 00:00:00Z", "2024-1-01T00:00:00Z", "+024-01-01T00:00:00Z"})
        EXPECT_FALSE(ParseUtcTime(bad)) << bad;

    const std::string seven = "7", eight = "8", later = "2030-01-01T00:00:00Z", bad = "soon";
    const int64_t then = *ParseUtcTime(later);
    using update::trust::CheckFreshness;
    EXPECT_EQ(CheckFreshness(&seven, nullptr, 7, then).serial, 7u);
    EXPECT_EQ(CheckFreshness(&eight, &later, 7, then - 1).problem, TrustProblem::None);
    EXPECT_EQ(CheckFreshness(&eight, &later, 7, then).problem, TrustProblem::Expired);
    EXPECT_EQ(CheckFreshness(&seven, nullptr, 8, 0).problem, TrustProblem::SerialOlder);
    EXPECT_EQ(CheckFreshness(nullptr, &later, 0, 0).problem, TrustProblem::SerialMissing);
    EXPECT_EQ(CheckFreshness(&bad, nullptr, 0, 0).problem, TrustProblem::SerialMalformed);
    EXPECT_EQ(CheckFreshness(&seven, &bad, 0, 0).problem, TrustProblem::ExpiryMalformed);
}

TEST(PackageCheck, CountsAndHashesTheBytesAsTheyArrive) {
    const std::string package = Input("package.bin");
    const std::string size = std::to_string(package.size());
    std::string hex = Input("package.sha256");
    const auto promised = update::trust::ReadPackageDigest(&size, &hex);
    ASSERT_EQ(promised.problem, TrustProblem::None);
    for (char& c : hex) c = char(std::toupper(c));
    EXPECT_EQ(update::trust::ReadPackageDigest(&size, &hex).digest.sha256, promised.digest.sha256);
    EXPECT_EQ(update::trust::ReadPackageDigest(nullptr, &hex).problem, TrustProblem::SizeMissing);
    EXPECT_EQ(update::trust::ReadPackageDigest(&size, nullptr).problem, TrustProblem::DigestMissing);
    const std::string shortHex = hex.substr(1), notHex = "g" + hex.substr(1);
    EXPECT_EQ(update::trust::ReadPackageDigest(&size, &shortHex).problem, TrustProblem::DigestMalformed);
    EXPECT_EQ(update::trust::ReadPackageDigest(&size, &notHex).problem, TrustProblem::DigestMalformed);

    // Pieces of 4096 bytes as a download hands them over, an empty one among them.
    const auto check = [&](const std::string& bytes) {
        update::trust::PackageCheck package(promised.digest);
        bool taken = package.Add(bytes.data(), 0);
        for (size_t at = 0; at < bytes.size(); at += 4096)
            taken = package.Add(bytes.data() + at, std::min<size_t>(4096, bytes.size() - at)) && taken;
        return std::make_pair(taken, package.Finish());
    };
    EXPECT_EQ(check(package), std::make_pair(true, TrustProblem::None));
    std::string flipped = package;
    flipped[123456] ^= 1;
    EXPECT_EQ(check(flipped), std::make_pair(true, TrustProblem::PackageDigestDiffers));
    EXPECT_EQ(check(package.substr(1)), std::make_pair(true, TrustProblem::PackageSizeDiffers));
    EXPECT_EQ(check(package + "x"), std::make_pair(false, TrustProblem::PackageSizeDiffers));
}

// Pieces of every size around the thread's blocks, in the order given: the
// digest of one platform hash over the same bytes. A hasher left unfinished
// with blocks still queued stops without waiting for them.
TEST(PackageCheck, HashesBesideTheDownloadInOrder) {
    std::string bytes(3 * 1024 * 1024 + 17, '\0');
    for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = char((i * 2654435761u) >> 13);
    platform::Sha256 direct;
    direct.Add(bytes.data(), bytes.size());
    update::trust::BackgroundSha256 beside;
    const size_t pieces[] = {1, 262143, 262144, 262145, 7, 0, 1000000};
    for (size_t at = 0, i = 0; at < bytes.size(); ++i) {
        const size_t size = std::min(pieces[i % std::size(pieces)], bytes.size() - at);
        beside.Add(bytes.data() + at, size);
        at += size;
    }
    EXPECT_EQ(beside.Finish(), direct.Finish());

    update::trust::BackgroundSha256 abandoned;
    abandoned.Add(bytes.data(), bytes.size());
}

}  // namespace
