// Installing packages made by Info-ZIP zip into a client folder with the real
// unzip library; stopping and restarting a dummy client.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <thread>

#include "platform/file_system.h"
#include "platform/processes.h"
#include "tests/update/update_test_support.h"
#include "update/update_engine.h"
#include "update/update_paths.h"
#include "update/update_texts.h"

namespace updatetest {
namespace {

std::string Package(const char* name) { return BuildPath(std::string(ZIRO_TEST_PACKAGES) + "/" + name); }

class UpdateInstall : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(CopyInto(BuildPath(ZIRO_UNZIP_LIBRARY), client / engine.Services().unzipLibraryName));
        WriteFile(client / "readme.txt", "readme 1\n");
        WriteFile(client / "old.txt", "old\n");
        WriteFile(client / "ro.txt", "read-only 1\n");
        ASSERT_TRUE(platform::ClearReadOnly(client / "ro.txt"));
        MakeReadOnly(client / "ro.txt");
        engine.SetEntries({{"3.0.0.6", "pkgs/one.zip", "", 1}, {"3.0.0.7", "two.zip", "", 1}});
    }

    static void MakeReadOnly(const std::string& path);

    void PutArchives() {
        ASSERT_TRUE(CopyInto(Package("one.zip"), client / "one.zip"));
        ASSERT_TRUE(CopyInto(Package("two.zip"), client / "two.zip"));
    }

    std::string Sub(const std::string& a, const std::string& b) const { return client / a + platform::kPathSeparator + b; }

    TempFolder client;
    RecordingReporter reporter;
    update::UpdateEngine engine{ServicesFor(client.Path()), reporter};
};

void UpdateInstall::MakeReadOnly(const std::string& path) {
    // Only the read-only attribute matters here; the platform has no call for setting it.
    std::filesystem::permissions(path, std::filesystem::perms::owner_write | std::filesystem::perms::group_write |
                                           std::filesystem::perms::others_write,
                                 std::filesystem::perm_options::remove);
    ASSERT_TRUE(platform::IsReadOnly(path));
}

TEST_F(UpdateInstall, TwoPackagesAreAppliedInOrderAndTheWorkFoldersRemoved) {
    PutArchives();
    const std::string cwd = platform::CurrentFolder();
    ASSERT_EQ(engine.InstallAll(), update::InstallResult::Installed);
    EXPECT_EQ(platform::CurrentFolder(), cwd);
    EXPECT_EQ(ReadFile(Sub("sub", "new.txt")), "new in sub\n");           // copy into a new sub-folder
    EXPECT_EQ(ReadFile(client / "readme.txt"), "readme 3\n");             // the later package wins
    EXPECT_EQ(ReadFile(client / "ro.txt"), "read-only 2\n");              // a read-only target
    EXPECT_FALSE(platform::PathExists(client / "old.txt"));               // removed
    EXPECT_FALSE(platform::PathExists(client / "missing.txt"));           // replace of nothing
    EXPECT_EQ(ReadFile(client / "shared.txt"), "shared 2\n");             // copy by the reused record, then again
    EXPECT_EQ(ReadFile(Sub("\xCA\xFD\xBE\xDD", "\xCB\xB5\xC3\xF7.txt")), "\xCB\xB5\xC3\xF7\n");  // 数据\说明.txt
    EXPECT_FALSE(platform::PathExists(Join(std::filesystem::path(client.Path()).parent_path().string(), "escape.txt")));
    for (const char* gone : {"one.zip", "two.zip", "ziro_update", "backup"})
        EXPECT_FALSE(platform::PathExists(client / gone)) << gone;
    EXPECT_EQ(engine.Flags().installFinished.load(), 1);
    EXPECT_EQ(engine.Flags().currentIndex.load(), 1);
    EXPECT_EQ(engine.Flags().packageCount.load(), 2);
    const std::vector<std::pair<int, std::string>> rows = {
        {0, update::kInstalling}, {0, update::kInstallDone}, {1, update::kInstalling}, {1, update::kInstallDone}};
    EXPECT_EQ(reporter.Rows(), rows);
    EXPECT_TRUE(reporter.Messages().empty());
}

TEST_F(UpdateInstall, MissingLibraryStopsBeforeAnythingIsUnpacked) {
    PutArchives();
    ASSERT_TRUE(platform::RemoveFile(client / engine.Services().unzipLibraryName));
    const std::string cwd = platform::CurrentFolder();
    EXPECT_EQ(engine.InstallAll(), update::InstallResult::UnpackFailed);
    EXPECT_EQ(platform::CurrentFolder(), cwd);
    EXPECT_EQ(reporter.MessageTexts(), std::vector<std::string>{update::kUnpackFailed});
    EXPECT_TRUE(platform::PathExists(client / "one.zip"));
    EXPECT_EQ(ReadFile(client / "readme.txt"), "readme 1\n");
    EXPECT_EQ(engine.Flags().installFinished.load(), 0);
}

TEST_F(UpdateInstall, MissingArchiveIsReportedByTheLibraryAndTheScriptIsMissing) {
    EXPECT_EQ(engine.InstallAll(), update::InstallResult::ScriptFailed);
    const auto messages = reporter.Messages();
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[0].text.rfind("Zip error 1:\n", 0), 0u) << messages[0].text;
    EXPECT_EQ(messages[0].icon, update::MessageIcon::None);
    EXPECT_EQ(messages[1].text, update::kOpenScriptFailed);
}

TEST_F(UpdateInstall, MalformedScriptShowsFail) {
    platform::MakeFolder(client / "ziro_update");
    WriteFile(Sub("ziro_update", "update-info.xml"), "<update><a/>\r\n<b/>");
    EXPECT_FALSE(engine.ReadUpdateInfo());
    const auto messages = reporter.Messages();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, "FAIL");
    EXPECT_EQ(messages[0].caption, update::MessageCaption::Application);
    WriteFile(Sub("ziro_update", "update-info.xml"), "<u><a/><b/>\r\n<c/><f>\n<i name=\"x\"><action>copy</action></i></f></u>");
    const auto actions = engine.ReadUpdateInfo();
    ASSERT_TRUE(actions);
    EXPECT_EQ(actions->size(), 1u);
}

TEST_F(UpdateInstall, ActionResultsAndBackupCopies) {
    platform::MakeFolder(client / "ziro_update");
    platform::MakeFolder(client / "backup");
    WriteFile(Sub("ziro_update", "readme.txt"), "new");
    const update::FileActions files(client.Path(), platform::kPathSeparator);
    EXPECT_EQ(files.Apply({"old.txt", update::ActionKind::Remove, ""}), update::ActionResult::Done);
    EXPECT_EQ(ReadFile(Sub("backup", "old.txt")), "old\n");
    EXPECT_EQ(files.Apply({"readme.txt", update::ActionKind::Replace, ""}), update::ActionResult::Done);
    EXPECT_EQ(ReadFile(Sub("backup", "readme.txt")), "readme 1\n");
    EXPECT_EQ(files.Apply({"gone.txt", update::ActionKind::Remove, ""}), update::ActionResult::NoTarget);
    EXPECT_EQ(files.Apply({"none.txt", update::ActionKind::Copy, ""}), update::ActionResult::CopyFailed);
    EXPECT_EQ(files.Apply({"readme.txt", update::ActionKind::Other, ""}), update::ActionResult::Done);
    EXPECT_EQ(files.Apply({"../readme.txt", update::ActionKind::Copy, ""}), update::ActionResult::NameRefused);
    // A device on Windows; natively a plain file that the copy would make.
    if (platform::kPathSeparator == '/') WriteFile(Sub("ziro_update", "aux.txt"), "aux");
    EXPECT_EQ(files.Apply({"aux.txt", update::ActionKind::Copy, ""}), update::ActionResult::NameRefused);
    if (platform::kPathSeparator == '/') {
        EXPECT_FALSE(platform::PathExists(client / "aux.txt"));
    }
    EXPECT_EQ(files.Apply({"readme.txt/x/y.txt", update::ActionKind::Copy, ""}), update::ActionResult::FoldersFailed);
    EXPECT_TRUE(files.CleanWorkFolders());
    EXPECT_FALSE(platform::PathExists(client / "backup"));
    EXPECT_FALSE(platform::PathExists(client / "ziro_update"));
    const update::FileActions lost(std::nullopt, platform::kPathSeparator);
    EXPECT_EQ(lost.Apply({"a", update::ActionKind::Copy, ""}), update::ActionResult::NoFolder);
    EXPECT_FALSE(lost.CleanWorkFolders());
}

// Waits until `file` holds `lines` lines.
std::string WaitForLines(const std::string& file, std::size_t lines) {
    std::string text;
    for (int i = 0; i < 400; ++i) {
        text = ReadFile(file);
        if (text != "<missing>" && std::size_t(std::count(text.begin(), text.end(), '\n')) >= lines) break;
        std::this_thread::sleep_for(std::chrono::milliseconds(25));
    }
    return text;
}

bool Runs(const std::string& path) {
    const std::vector<uint32_t> ids = platform::ListProcessIds().value();
    for (uint32_t id : ids)
        if (auto p = platform::OpenProcessById(id); p && update::SameTextIgnoringCase(p->ExecutablePath(), path))
            return true;
    return false;
}

// Lets a dummy client end by itself and waits until it has.
void QuitDummy(const TempFolder& folder) {
    WriteFile(folder / "client-quit", "");
    for (int i = 0; i < 200 && Runs(folder / "ZiroIM2.exe"); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(25));
}

TEST_F(UpdateInstall, ClientOfThisFolderIsStoppedAndRestartedWithTheHighestVersion) {
    TempFolder elsewhere;
    const std::string client1 = client / "ZiroIM2.exe", client2 = elsewhere / "ZiroIM2.exe";
    ASSERT_TRUE(CopyInto(BuildPath(ZIRO_DUMMY_CLIENT), client1));
    ASSERT_TRUE(CopyInto(BuildPath(ZIRO_DUMMY_CLIENT), client2));
    ASSERT_TRUE(platform::StartProgram(client1, "3.0.0.5"));
    ASSERT_TRUE(platform::StartProgram(client2, "3.0.0.5"));
    WaitForLines(client / "client-started.txt", 1);
    WaitForLines(elsewhere / "client-started.txt", 1);
    ASSERT_TRUE(Runs(client1));
    EXPECT_TRUE(engine.StopClient());
    EXPECT_FALSE(Runs(client1));  // ended before StopClient returned
    EXPECT_TRUE(Runs(client2));
    QuitDummy(elsewhere);

    engine.SetEntries({{"3.0.0.6", "", "", 1}, {"3.0.0.12", "", "", 1}, {"3.0.0.7", "", "", 1}});
    EXPECT_TRUE(engine.StartClient());
    EXPECT_EQ(WaitForLines(client / "client-started.txt", 2), "3.0.0.5\n3.0.0.12\n");
    QuitDummy(client);
    EXPECT_TRUE(reporter.Messages().empty());
}

}  // namespace
}  // namespace updatetest
