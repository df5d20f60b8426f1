// The platform services the updater uses, on the real system: INI reading by
// the Windows rules (the same cases for both backends), files and folders,
// processes started, matched and stopped.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "platform/file_system.h"
#include "platform/ini_file.h"
#include "platform/processes.h"
#include "platform/text_encoding.h"
#include "tests/update/update_test_support.h"
#include "update/update_paths.h"

namespace updatetest {
namespace {

// A file of its own per case, so that no cached copy of an earlier one is read.
std::string Server(const TempFolder& folder, const std::string& ini) {
    static int counter = 0;
    const std::string path = folder / ("imset" + std::to_string(++counter) + ".ini");
    WriteFile(path, ini);
    return platform::ReadIniString(path, "IMSET", "IMSERVER", "", 128);
}

TEST(UpdateIni, ReadsTheServerByThePrivateProfileRules) {
    TempFolder folder;
    EXPECT_EQ(Server(folder, "[IMSET]\r\nIMSERVER=update.example.com\r\n"), "update.example.com");
    EXPECT_EQ(Server(folder, "; settings\n[other]\nIMSERVER=wrong\n[imset]\n  imserver  =  127.0.0.1  \n"), "127.0.0.1");
    EXPECT_EQ(Server(folder, "[IMSET]\nIMSERVER=\"quoted host\"\n"), "quoted host");
    EXPECT_EQ(Server(folder, "[IMSET]\nIMSERVER=host ; not a comment\n"), "host ; not a comment");
    EXPECT_EQ(Server(folder, "[IMSET]\nIMSERVER=first\nIMSERVER=second\n"), "first");
    EXPECT_EQ(Server(folder, "[IMSET]\nOTHER=1\n"), "");
    EXPECT_EQ(Server(folder, "IMSERVER=no section\n"), "");
    const std::string longValue(200, 'h');
    EXPECT_EQ(Server(folder, "[IMSET]\nIMSERVER=" + longValue + "\n"), longValue.substr(0, 127));
    EXPECT_EQ(platform::ReadIniString(folder / "missing.ini", "IMSET", "IMSERVER", "dflt", 128), "dflt");
}

TEST(UpdateFiles, CopyOverReadOnlyListAndRename) {
    TempFolder folder;
    const std::string a = folder / "a.txt", b = folder / "b.txt";
    WriteFile(a, "new");
    WriteFile(b, "old");
    EXPECT_TRUE(platform::CopyFileOver(a, b));
    EXPECT_EQ(ReadFile(b), "new");
    EXPECT_FALSE(platform::MakeFolder(folder.Path()));
    EXPECT_TRUE(platform::MakeFolder(folder / "sub"));
    EXPECT_TRUE(platform::RenameOver(a, folder / "sub" + platform::kPathSeparator + "c.txt"));
    const auto entries = platform::ListFolder(folder.Path());
    ASSERT_TRUE(entries);
    ASSERT_EQ(entries->size(), 2u);
    for (const auto& e : *entries)
        EXPECT_EQ(e.kind, e.name == "sub" ? platform::EntryKind::Folder : platform::EntryKind::File) << e.name;
    EXPECT_FALSE(platform::RemoveEmptyFolder(folder / "sub"));
    EXPECT_FALSE(platform::ListFolder(folder / "none"));
    EXPECT_FALSE(platform::ReadWholeFile(b, 2));
    const std::string gbk = folder / "\xCA\xFD\xBE\xDD.txt";  // 数据.txt
    WriteFile(gbk, "x");
    EXPECT_TRUE(platform::PathExists(gbk));
}

TEST(UpdateFiles, CommittingWriterReplacesOnlyWhenCommittedAndReaderReadsAnywhere) {
    TempFolder folder;
    const std::string target = folder / "t.bin";
    WriteFile(target, "old");
    WriteFile(target + ".part", "someone else's");
    {
        auto dropped = platform::CreateCommittingWriter(target, ".part");
        ASSERT_TRUE(dropped && dropped->Write("new", 3));
    }
    EXPECT_EQ(ReadFile(target), "old");
    auto kept = platform::CreateCommittingWriter(target, ".part");
    ASSERT_TRUE(kept && kept->Write("new", 3));
    EXPECT_EQ(kept->Commit({false, false, std::nullopt}), platform::CommitResult::Kept);
    auto written = platform::CreateCommittingWriter(target, ".part");
    ASSERT_TRUE(written && written->Write("0123456789", 10));
    EXPECT_EQ(written->Commit({}), platform::CommitResult::Done);
    EXPECT_EQ(NamesIn(folder.Path()), (std::vector<std::string>{"t.bin", "t.bin.part"}));
    EXPECT_EQ(ReadFile(target + ".part"), "someone else's");
    auto reader = platform::OpenFileReader(target);
    ASSERT_TRUE(reader);
    EXPECT_EQ(reader->Size(), 10u);
    char piece[3];
    EXPECT_TRUE(reader->ReadAt(7, piece, 3));
    EXPECT_EQ(std::string(piece, 3), "789");
    EXPECT_FALSE(reader->ReadAt(8, piece, 3));
    EXPECT_FALSE(platform::OpenFileReader(folder.Path()));
    const std::string gbk = folder / "\xCA\xFD\xBE\xDD.txt";  // 数据.txt
    WriteFile(gbk, "x");
    EXPECT_TRUE(platform::OpenFileReader(platform::CallerPath(gbk)));
    // Natively the system's own UTF-8 name serves as well.
    if (platform::kPathSeparator == '/') {
        EXPECT_TRUE(platform::OpenFileReader(platform::CallerPath(platform::GbkToUtf8(gbk))));
    }
}

// Starts the dummy client as `path` and waits until it has written its whole command line.
void StartDummy(const std::string& path, const std::string& argument) {
    const std::string log = Join(path.substr(0, path.rfind(platform::kPathSeparator)), "client-started.txt");
    ASSERT_TRUE(platform::StartProgram(path, argument));
    for (int i = 0; i < 800 && ReadFile(log) != argument + "\n"; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(25));
}

std::vector<std::unique_ptr<platform::ProcessHandle>> Running(const std::string& path) {
    std::vector<std::unique_ptr<platform::ProcessHandle>> found;
    const std::vector<uint32_t> ids = platform::ListProcessIds().value();
    for (uint32_t id : ids)
        if (auto p = platform::OpenProcessById(id); p && update::SameTextIgnoringCase(p->ExecutablePath(), path))
            found.push_back(std::move(p));
    return found;
}

TEST(UpdateProcesses, StartedProgramIsFoundByPathAndStopped) {
    TempFolder folder;
    const std::string client = folder / "ZiroIM2.exe";
    ASSERT_TRUE(CopyInto(BuildPath(ZIRO_DUMMY_CLIENT), client));
    StartDummy(client, "3.0.0.5");
    EXPECT_EQ(ReadFile(folder / "client-started.txt"), "3.0.0.5\n");
    auto found = Running(client);
    ASSERT_EQ(found.size(), 1u);
    EXPECT_TRUE(found[0]->Terminate(4));
    EXPECT_TRUE(found[0]->WaitForExit(10000));
    EXPECT_TRUE(Running(client).empty());
    WriteFile(folder / "client-quit", "");
    EXPECT_FALSE(platform::StartProgram(folder / "nothing.exe", ""));
}

}  // namespace
}  // namespace updatetest
