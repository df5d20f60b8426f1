// A client folder with a key against signed manifests and packages that the
// openssl command line made (tests/update/trust/make_trust_inputs.py), served
// by the test HTTP server: what is taken, each refusal with nothing kept, and
// a folder without a key taking signed manifests as it always took manifests.
#include <gtest/gtest.h>

#include <functional>

#include "platform/file_system.h"
#include "tests/update/update_test_support.h"
#include "update/trust/manifest_attributes.h"
#include "update/update_engine.h"
#include "update/update_texts.h"

namespace updatetest {
namespace {

using update::DownloadResult;
using update::InitOutcome;
using update::trust::TrustProblem;

std::string Input(const std::string& name) { return ReadFile(BuildPath(std::string(ZIRO_TRUST_INPUTS) + "/" + name)); }

const int64_t kBeforeExpiry = *update::trust::ParseUtcTime("2029-12-31T23:59:59Z");

class SignedUpdate : public ::testing::Test {
protected:
    void SetUp() override {
        if (!TestServer::Running()) GTEST_SKIP() << "needs tests/update/with-http-server";
        WriteFile(client / "imset.ini", "[IMSET]\nIMSERVER=127.0.0.1\n");
        WriteFile(client / "update-key.pem", Input("two-keys.pem"));
        TestServer::Put("im/pkgs/signed.zip", Input("package.bin"));
    }

    // An engine made now, so that it reads the key file as it is now.
    std::unique_ptr<update::UpdateEngine> Engine(int64_t now = kBeforeExpiry) {
        update::UpdateServices services = ServicesFor(client.Path());
        services.wallSeconds = [now] { return now; };
        return std::make_unique<update::UpdateEngine>(services, reporter);
    }
    // Serves the manifest and, unless it is null, its signature file.
    void Serve(const std::string& manifest, const char* signature) {
        TestServer::Put("im/update.xml", manifest);
        if (signature) TestServer::Put("im/update.xml.sig", signature);
        else platform::RemoveFile(TestServer::Root() + platform::kPathSeparator + "im" + platform::kPathSeparator +
                                  "update.xml.sig");
    }
    InitOutcome Initialise(update::UpdateEngine& engine) {
        return engine.Initialise("\"" + (client / "UpDate.exe") + "\" 3.0.0.5");
    }

    TempFolder client;
    RecordingReporter reporter;
};

TEST_F(SignedUpdate, SignedManifestIsTakenWithItsDigestsAndItsSerialKept) {
    Serve(Input("signed/good.xml"), Input("signed/good.xml.sig").c_str());
    auto engine = Engine();
    ASSERT_EQ(Initialise(*engine), InitOutcome::Ready);
    ASSERT_EQ(engine->Entries().size(), 1u);
    ASSERT_TRUE(engine->Entries()[0].digest);
    EXPECT_EQ(engine->Entries()[0].digest->size, 200000u);
    EXPECT_EQ(ReadFile(client / "update-serial.txt"), "7");
    EXPECT_NE(TestServer::Requests().find("/im/update.xml.sig\n"), std::string::npos);

    EXPECT_EQ(engine->DownloadEntry(0), DownloadResult::Verified);
    EXPECT_TRUE(ReadFile(client / "signed.zip") == Input("package.bin"));
    EXPECT_TRUE(reporter.Messages().empty());
    // The same manifest again, with its serial as the highest accepted.
    EXPECT_EQ(Initialise(*Engine()), InitOutcome::Ready);
}

TEST_F(SignedUpdate, RefusedManifestsAreFailedRequestsAndChangeNothing) {
    const std::string good = Input("signed/good.xml"), signature = Input("signed/good.xml.sig");
    std::string joined = good;
    std::erase(joined, '\n');
    struct Case {
        const char* what;
        std::function<void()> setUp;
        TrustProblem problem;
        int64_t now = kBeforeExpiry;
    };
    const auto serve = [this](const std::string& manifest, const std::string* sig) {
        return [this, manifest, sig] { Serve(manifest, sig ? sig->c_str() : nullptr); };
    };
    const std::string empty, garbage = "not a signature!", stranger = Input("signed/good.xml.sig-stranger");
    const std::string noSerialSig = Input("signed/no-serial.xml.sig"), noDigestSig = Input("signed/no-digest.xml.sig");
    const Case cases[] = {
        {"no signature file", serve(good, nullptr), TrustProblem::SignatureMissing},
        {"empty signature file", serve(good, &empty), TrustProblem::SignatureMissing},
        {"garbage", serve(good, &garbage), TrustProblem::SignatureNotBase64},
        {"another key", serve(good, &stranger), TrustProblem::NotSignedByTrustedKey},
        {"other bytes", serve(std::string(good).replace(good.find("3.0.0.6"), 7, "3.0.0.9"), &signature),
         TrustProblem::NotSignedByTrustedKey},
        {"the lines joined", serve(joined, &signature), TrustProblem::NotSignedByTrustedKey},
        {"no serial", serve(Input("signed/no-serial.xml"), &noSerialSig), TrustProblem::SerialMissing},
        {"an entry without digest", serve(Input("signed/no-digest.xml"), &noDigestSig), TrustProblem::DigestMissing},
        {"expired", serve(good, &signature), TrustProblem::Expired, kBeforeExpiry + 1},
        {"an older serial",
         [&] {
             Serve(good, signature.c_str());
             WriteFile(client / "update-serial.txt", "8");
         },
         TrustProblem::SerialOlder},
        {"a serial file that is no number", [&] { WriteFile(client / "update-serial.txt", "8\n"); },
         TrustProblem::AcceptedSerialUnreadable},
        {"a private key as the key file",
         [&] {
             WriteFile(client / "update-serial.txt", "7");
             WriteFile(client / "update-key.pem", Input("stranger.key"));
         },
         TrustProblem::NotPublicKeyBlock},
        {"a key file that cannot be read",
         [&] {
             platform::RemoveFile(client / "update-key.pem");
             platform::MakeFolder(client / "update-key.pem");
         },
         TrustProblem::KeyFileUnreadable},
    };
    for (const Case& c : cases) {
        c.setUp();
        const std::string serial = ReadFile(client / "update-serial.txt");
        auto engine = Engine(c.now);
        EXPECT_EQ(Initialise(*engine), InitOutcome::RequestFailed) << c.what;
        EXPECT_EQ(engine->Refusal().problem, c.problem) << c.what;
        EXPECT_TRUE(engine->Entries().empty()) << c.what;
        EXPECT_EQ(ReadFile(client / "update-serial.txt"), serial) << c.what;
        EXPECT_EQ(reporter.MessageTexts().back(), update::kRequestFailed) << c.what;
    }
    EXPECT_EQ(reporter.MessageTexts().size(), std::size(cases));
}

TEST_F(SignedUpdate, PackagesOtherThanPromisedAreRefusedAndNothingIsKept) {
    Serve(Input("signed/good.xml"), Input("signed/good.xml.sig").c_str());
    const std::string package = Input("package.bin");
    std::string flipped = package;
    flipped[100000] ^= 1;
    const std::pair<std::string, std::string> served[] = {
        {flipped, ""},                                            // other bytes
        {package + "x", ""},                                      // announced longer
        {package + std::string(70000, 'x'), R"({"no_length": true})"},  // stopped once longer
        {package, R"({"cut_after": 150000})"},                    // cut short
        {package, R"({"status": 404})"},
    };
    const TrustProblem expected[] = {TrustProblem::PackageDigestDiffers, TrustProblem::PackageSizeDiffers,
                                     TrustProblem::PackageSizeDiffers, TrustProblem::PackageNotReceived,
                                     TrustProblem::PackageNotReceived};
    auto engine = Engine();
    ASSERT_EQ(Initialise(*engine), InitOutcome::Ready);
    for (std::size_t i = 0; i < std::size(served); ++i) {
        WriteFile(client / "signed.zip", "earlier");
        TestServer::Put("im/pkgs/signed.zip", served[i].first, served[i].second);
        EXPECT_EQ(engine->DownloadEntry(0), DownloadResult::Refused) << i;
        EXPECT_EQ(ReadFile(client / "signed.zip"), "earlier") << i;
        EXPECT_EQ(NamesIn(client.Path()),
                  (std::vector<std::string>{"imset.ini", "signed.zip", "update-key.pem", "update-serial.txt"}))
            << i;
        EXPECT_EQ(reporter.MessageTexts().back(), update::trust::TrustProblemText(expected[i])) << i;
    }
    EXPECT_LE(engine->Flags().bytesReceived.load(), 200000);  // the longer body was stopped at the promise
}

TEST_F(SignedUpdate, WithoutAKeySignedManifestsAreTakenAsAnyOther) {
    platform::RemoveFile(client / "update-key.pem");
    Serve(Input("signed/other-digest.xml"), Input("signed/other-digest.xml.sig").c_str());
    const std::size_t before = TestServer::Requests().size();
    auto engine = Engine();
    ASSERT_EQ(Initialise(*engine), InitOutcome::Ready);
    EXPECT_FALSE(engine->Entries()[0].digest);
    EXPECT_EQ(engine->DownloadEntry(0), DownloadResult::Done);
    EXPECT_TRUE(ReadFile(client / "signed.zip") == Input("package.bin"));
    EXPECT_EQ(NamesIn(client.Path()), (std::vector<std::string>{"imset.ini", "signed.zip"}));
    EXPECT_EQ(TestServer::Requests().find("update.xml.sig", before), std::string::npos);
}

}  // namespace
}  // namespace updatetest
