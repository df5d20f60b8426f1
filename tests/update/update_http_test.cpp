// The manifest request and the package downloads against a real HTTP server
// on 127.0.0.1 (tests/update/with-http-server), odd answers included.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "platform/file_system.h"
#include "tests/update/update_test_support.h"
#include "update/update_engine.h"
#include "update/update_paths.h"
#include "update/update_texts.h"

namespace updatetest {
namespace {

using update::InitOutcome;

const char kManifest[] =
    "<updates>\n<group name=\"ziro\">\n"
    "<entry><version>3.0.0.4</version><url>old.zip</url></entry>\n"
    "<entry><version>3.0.0.6</version><url>pkgs/2024/one.zip</url><description>5Y2H57qn</description></entry>\n"
    "</group>\n</updates>\n";

class UpdateHttp : public ::testing::Test {
protected:
    void SetUp() override {
        if (!TestServer::Running()) GTEST_SKIP() << "needs tests/update/with-http-server";
        WriteFile(client / "imset.ini", "[IMSET]\nIMSERVER=127.0.0.1\n");
    }

    InitOutcome Initialise(const std::string& manifest, const std::string& behaviour = "") {
        return InitialiseEngine(engine, manifest, behaviour);
    }
    InitOutcome InitialiseEngine(update::UpdateEngine& with, const std::string& manifest,
                                 const std::string& behaviour = "") {
        TestServer::Put("im/update.xml", manifest, behaviour);
        return with.Initialise("\"" + (client / "UpDate.exe") + "\" 3.0.0.5");
    }

    // Lists `url` as the one newer entry.
    void ListPackage(const std::string& url) {
        ASSERT_EQ(Initialise("<u><g a=\"1\"><e><version>3.0.0.6</version><url>" + url + "</url></e></g></u>"),
                  InitOutcome::Ready);
    }

    // Downloads `url` as entry 0; the archive's local path.
    std::string Download(const std::string& url) {
        ListPackage(url);
        EXPECT_EQ(engine.DownloadEntry(0), update::DownloadResult::Done);
        return client / update::ArchiveNameOf(url);
    }

    // The engine with services of the test's own.
    update::UpdateServices Services() const { return ServicesFor(client.Path()); }

    TempFolder client;
    RecordingReporter reporter;
    update::UpdateEngine engine{ServicesFor(client.Path()), reporter};
};

TEST_F(UpdateHttp, ManifestOverSeveralLinesIsFetchedAndTrimmedToNewerEntries) {
    ASSERT_EQ(Initialise(kManifest), InitOutcome::Ready);
    ASSERT_EQ(engine.Entries().size(), 1u);
    EXPECT_EQ(engine.Entries()[0].url, "pkgs/2024/one.zip");
    EXPECT_EQ(engine.GroupValue(), "ziro");
    EXPECT_EQ(engine.Server(), "127.0.0.1");
    EXPECT_EQ(update::DefaultUpdateServices().httpPort, 8000);
    EXPECT_EQ(engine.DetailsText(), "3.0.0.6升级内容:\r\n升级");
    EXPECT_TRUE(reporter.Messages().empty());
    EXPECT_NE(TestServer::Requests().find("/im/update.xml\n"), std::string::npos);
}

TEST_F(UpdateHttp, InitialisationFailuresShowTheirMessages) {
    EXPECT_EQ(Initialise("<u><g a=\"1\"><e><version>3.0.0.5</version></e></g></u>"), InitOutcome::NothingNewer);
    EXPECT_EQ(Initialise(kManifest, R"({"status": 204})"), InitOutcome::RequestFailed);
    EXPECT_EQ(Initialise(kManifest, R"({"status": 404})"), InitOutcome::RequestFailed);
    EXPECT_EQ(Initialise(kManifest, R"({"status": 500})"), InitOutcome::RequestFailed);
    EXPECT_EQ(Initialise(kManifest, R"({"cut_after": 40})"), InitOutcome::RequestFailed);
    EXPECT_EQ(Initialise(kManifest, R"({"silent": true})"), InitOutcome::RequestFailed);
    EXPECT_EQ(Initialise(kManifest, R"({"status": 206})"), InitOutcome::Ready);  // any 2xx is read
    const std::vector<std::string> expected = {update::kAlreadyLatest, update::kRequestFailed, update::kRequestFailed,
                                               update::kRequestFailed, update::kRequestFailed, update::kRequestFailed};
    EXPECT_EQ(reporter.MessageTexts(), expected);
    EXPECT_EQ(reporter.Messages()[0].icon, update::MessageIcon::Information);
    EXPECT_EQ(reporter.Messages()[1].icon, update::MessageIcon::Exclamation);
}

TEST_F(UpdateHttp, NoServerNameOrNoVersionRequestsNothing) {
    const std::string before = TestServer::Requests();
    WriteFile(client / "imset.ini", "[IMSET]\n");
    EXPECT_EQ(Initialise(kManifest), InitOutcome::RequestFailed);
    EXPECT_EQ(engine.Initialise("UpDate.exe 3.0.0.5"), InitOutcome::NoVersionGiven);
    EXPECT_EQ(engine.Initialise("\"C:\\UpDate.exe\"  "), InitOutcome::BadVersion);
    EXPECT_EQ(reporter.MessageTexts(), (std::vector<std::string>{update::kRequestFailed, update::kBadVersion}));
    EXPECT_EQ(TestServer::Requests(), before);
}

TEST_F(UpdateHttp, ClosedPortFailsTheRequest) {
    update::UpdateServices services = Services();
    services.httpPort = 1;
    update::UpdateEngine closed(services, reporter);
    EXPECT_EQ(InitialiseEngine(closed, kManifest), InitOutcome::RequestFailed);
}

TEST_F(UpdateHttp, PackageWithSubPathIsStoredUnderItsLastSegment) {
    const std::string body(100000, 'z');
    TestServer::Put("im/pkgs/2024/one.zip", body);
    const std::string archive = Download("pkgs/2024/one.zip");
    EXPECT_TRUE(ReadFile(archive) == body);
    EXPECT_EQ(NamesIn(client.Path()), (std::vector<std::string>{"imset.ini", "one.zip"}));
    EXPECT_NE(TestServer::Requests().find("/im/pkgs/2024/one.zip\n"), std::string::npos);
    EXPECT_EQ(engine.Flags().bytesReceived.load(), 100000);
    EXPECT_EQ(engine.Flags().bytesExpected.load(), 100000);
}

TEST_F(UpdateHttp, FailedOrCutDownloadsLeaveTheEarlierFileAndNoPart) {
    const char* behaviours[] = {
        R"({"status": 206})", R"({"status": 304})", R"({"status": 404})",   R"({"status": 500})",
        R"({"cut_after": 1000})", R"({"announce": 5000})", R"({"stall_after": 100})", R"({"silent": true})",
    };
    for (const char* behaviour : behaviours) {
        WriteFile(client / "two.zip", "earlier");
        TestServer::Put("im/two.zip", std::string(3000, 'n'), behaviour);
        const std::string archive = Download("two.zip");
        EXPECT_EQ(ReadFile(archive), "earlier") << behaviour;
        EXPECT_EQ(NamesIn(client.Path()), (std::vector<std::string>{"imset.ini", "two.zip"})) << behaviour;
    }
}

TEST_F(UpdateHttp, BodyWithoutLengthOrLongerThanAnnouncedEndsWithTheConnection) {
    TestServer::Put("im/three.zip", std::string(5000, 'a'), R"({"no_length": true})");
    EXPECT_TRUE(ReadFile(Download("three.zip")) == std::string(5000, 'a'));
    TestServer::Put("im/four.zip", std::string(5000, 'b'), R"({"announce": 1000})");
    EXPECT_TRUE(ReadFile(Download("four.zip")) == std::string(1000, 'b'));
}

// A body that never ends fails at once, leaves no part behind and never takes
// more than the package limit; an endless manifest is refused at its own limit.
// (A body that stops coming is one of the cut downloads above.)
void ExpectRefusedQuickly(update::UpdateEngine& engine, const TempFolder& client, const char* behaviour,
                          std::chrono::steady_clock::time_point started) {
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(10)) << behaviour;
    EXPECT_EQ(NamesIn(client.Path()), std::vector<std::string>{"imset.ini"}) << behaviour;
    EXPECT_LE(engine.Flags().bytesReceived.load(), 4 << 20) << behaviour;
}

TEST_F(UpdateHttp, HostileServersNeitherHoldTheWorkerNorFillTheDisk) {
    update::UpdateServices services = Services();
    services.maxPackageBytes = 4 << 20;
    services.maxDocumentBytes = 1 << 20;
    update::UpdateEngine limited(services, reporter);
    const char* behaviour = R"({"endless": true, "no_length": true})";
    ASSERT_EQ(InitialiseEngine(limited, "<u><g a=\"1\"><e><version>3.0.0.6</version><url>six.zip</url></e></g></u>"),
              InitOutcome::Ready);
    TestServer::Put("im/six.zip", std::string(200000, 's'), behaviour);
    const auto started = std::chrono::steady_clock::now();
    EXPECT_EQ(limited.DownloadEntry(0), update::DownloadResult::Done);
    ExpectRefusedQuickly(limited, client, behaviour, started);
    EXPECT_EQ(InitialiseEngine(limited, kManifest, R"({"endless": true, "no_length": true})"), InitOutcome::RequestFailed);
}

TEST_F(UpdateHttp, PackageAnnouncedBeyondTheLimitIsNotFetched) {
    update::UpdateServices services = Services();
    services.maxPackageBytes = 4 << 20;
    update::UpdateEngine limited(services, reporter);
    const char* behaviour = R"({"endless": true, "announce": 2147483648})";
    ASSERT_EQ(InitialiseEngine(limited, "<u><g a=\"1\"><e><version>3.0.0.6</version><url>six.zip</url></e></g></u>"),
              InitOutcome::Ready);
    TestServer::Put("im/six.zip", std::string(200000, 's'), behaviour);
    const auto started = std::chrono::steady_clock::now();
    EXPECT_EQ(limited.DownloadEntry(0), update::DownloadResult::Done);
    ExpectRefusedQuickly(limited, client, behaviour, started);
}

// The download on a worker of its own while the dialog's thread watches its
// counters and then cancels it, as the download stage does.
TEST_F(UpdateHttp, DownloadOnAWorkerIsWatchedAndCancelledFromTheDialogThread) {
    TestServer::Put("im/seven.zip", std::string(100000, 'w'), R"({"endless": true, "no_length": true})");
    ListPackage("seven.zip");
    update::UpdateFlags& flags = engine.Flags();
    std::thread worker([this, &flags] {
        engine.DownloadEntry(0);
        flags.downloadFinished.store(1);
    });
    int position = 0;
    for (auto end = std::chrono::steady_clock::now() + std::chrono::seconds(20);
         flags.bytesReceived.load() < 1000000 && std::chrono::steady_clock::now() < end;) {
        position = update::ProgressPosition(flags.bytesReceived.load(), flags.bytesExpected.load());
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    EXPECT_EQ(position, 0);  // nothing announced, nothing to show on the bar
    flags.cancelRequested.store(1);
    worker.join();
    EXPECT_EQ(flags.downloadFinished.load(), 1);
    EXPECT_GE(flags.bytesReceived.load(), 1000000);
    EXPECT_EQ(NamesIn(client.Path()), std::vector<std::string>{"imset.ini"});
}

TEST_F(UpdateHttp, CancelStopsTheTransferAndRemovesThePart) {
    TestServer::Put("im/five.zip", std::string(200000, 'c'));
    engine.Flags().cancelRequested.store(1);
    Download("five.zip");
    EXPECT_EQ(NamesIn(client.Path()), std::vector<std::string>{"imset.ini"});
}

TEST_F(UpdateHttp, EscapingPackageNamesAreNotWritten) {
    TestServer::Put("im/x.zip", "x");
    for (const char* url : {"..", "pkgs/", "C:x.zip"}) {
        ListPackage(url);
        const std::string before = TestServer::Requests();
        EXPECT_EQ(engine.DownloadEntry(0), update::DownloadResult::Done);
        EXPECT_EQ(TestServer::Requests(), before) << url;
    }
    update::UpdateServices rootless = Services();
    rootless.moduleFileName = [] { return std::string("UpDate.exe"); };
    update::UpdateEngine lost(rootless, reporter);
    lost.SetEntries({{"3.0.0.6", "x.zip", "", 1}});
    EXPECT_EQ(lost.DownloadEntry(0), update::DownloadResult::NoFolder);
}

}  // namespace
}  // namespace updatetest
