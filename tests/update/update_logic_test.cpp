// Versions, the command line, descriptions and names: the rules that need no
// server, file or process.
#include <gtest/gtest.h>

#include <climits>

#include "update/code_convert.h"
#include "update/command_line.h"
#include "update/entry_choice.h"
#include "update/update_paths.h"
#include "update/version_number.h"

namespace update {
namespace {

VersionNumber V(int32_t a, int32_t b, int32_t c, int32_t d) { return {{a, b, c, d}}; }

TEST(UpdateVersion, PartsAreCutAtDotsAsDocumented) {
    EXPECT_EQ(ParseVersion("1.2.3.4"), V(1, 2, 3, 4));
    EXPECT_EQ(ParseVersion("1.2.3"), V(1, 2, 0, 3));
    EXPECT_EQ(ParseVersion("1.2"), V(1, 0, 0, 2));
    EXPECT_EQ(ParseVersion("1.2.3.4.5"), V(1, 2, 3, 5));
    EXPECT_EQ(ParseVersion(""), V(2, 9, 3, 27));
    EXPECT_EQ(ParseVersion("12345"), V(2, 9, 3, 27));
    EXPECT_EQ(ParseVersion(" +7.-2.x.09z"), V(7, -2, 0, 9));
    EXPECT_EQ(ParseVersion("99999999999.-99999999999.2147483648.1"), V(INT_MAX, INT_MIN, INT_MAX, 1));
    EXPECT_EQ(FormatVersion(V(3, -1, 0, 6)), "3.-1.0.6");
}

TEST(UpdateVersion, ComparisonIsSignedAndOrdered) {
    EXPECT_TRUE(IsNewer(V(3, 0, 0, 6), V(3, 0, 0, 5)));
    EXPECT_FALSE(IsNewer(V(3, 0, 0, 5), V(3, 0, 0, 5)));
    EXPECT_FALSE(IsNewer(V(2, 9, 9, 9), V(3, 0, 0, 0)));
    EXPECT_TRUE(IsNewer(V(0, 0, 0, 1), V(0, 0, 0, -1)));
}

struct EntriesCase {
    std::string current;
    std::vector<std::string> versions;
    std::vector<std::string> kept;
    std::string highest;
};

TEST(UpdateVersion, OnlyLeadingOldEntriesAreDroppedAndTheHighestIsRestartedWith) {
    const EntriesCase cases[] = {
        {"3.0.0.5", {"3.0.0.4", "3.0.0.6", "3.0.0.1"}, {"3.0.0.6", "3.0.0.1"}, "3.0.0.6"},
        {"3.0.0.5", {"3.0.0.5", "3.0.0.4"}, {}, "2.9.3.27"},
        {"35", {"2.9.3.27", "2.9.3.28", "1"}, {"2.9.3.28", "1"}, "2.9.3.28"},
        {"1.0.0.0", {"", "1.0.0.1"}, {"", "1.0.0.1"}, "2.9.3.27"},
        {"1.0.0.0", {"1.5.0.0", "1.2.0.0"}, {"1.5.0.0", "1.2.0.0"}, "2.9.3.27"},
    };
    for (const EntriesCase& c : cases) {
        std::vector<UpdateEntry> entries;
        for (const std::string& v : c.versions) entries.push_back({v, "u", "", 1});
        EXPECT_EQ(HasNewerVersion(entries, c.current), !c.kept.empty()) << c.current;
        std::vector<std::string> kept;
        for (const UpdateEntry& e : entries) kept.push_back(e.version);
        EXPECT_EQ(kept, c.kept) << c.current;
        EXPECT_EQ(HighestVersion(entries), c.highest) << c.current;
    }
}

TEST(UpdateCommandLine, VersionFollowsTheQuotedUpdaterPath) {
    std::string version;
    EXPECT_EQ(ParseCommandLine("\"C:\\IM\\UpDate.exe\"   3.0.0.5  \t", version), CommandLineResult::Version);
    EXPECT_EQ(version, "3.0.0.5");
    EXPECT_EQ(ParseCommandLine("\"C:\\IM\\UpDate.exe\"", version), CommandLineResult::EmptyVersion);
    EXPECT_EQ(ParseCommandLine("\"C:\\IM\\UpDate.exe\"   ", version), CommandLineResult::EmptyVersion);
    EXPECT_EQ(ParseCommandLine("C:\\IM\\UpDate.exe 3.0.0.5", version), CommandLineResult::NoUpdaterPath);
    EXPECT_EQ(ParseCommandLine("\"a.EXE\" 1", version), CommandLineResult::NoUpdaterPath);
    EXPECT_EQ(ParseCommandLine("\"x.exe\" 1 \"y.exe\" 2", version), CommandLineResult::Version);
    EXPECT_EQ(version, "1 \"y.exe\" 2");
    EXPECT_EQ(ParseCommandLine(std::string(100000, 'v') + "exe\"" + std::string(70000, '9'), version),
              CommandLineResult::Version);
    EXPECT_EQ(version.size(), 70000u);
}

TEST(UpdateDescription, Base64OfUtf8IsShownInGbkWithCarriageReturns) {
    EXPECT_EQ(DescriptionText("5Y2H57qn", true), "\xC9\xFD\xBC\xB6");  // 升级
    EXPECT_EQ(DescriptionText("5Y2H57qn", true), "升级");
    EXPECT_EQ(DescriptionText("YQpiDQpj", true), "a\r\nb\r\nc");   // "a\nb\r\nc"
    EXPECT_EQ(DescriptionText("YQpiDQpj", false), "a\nb\r\nc");
    EXPECT_EQ(DescriptionText("5Y2H57q", true), "");     // length not a multiple of 4
    EXPECT_EQ(DescriptionText("5Y2H57q*", true), "");    // outside the alphabet
    EXPECT_EQ(DescriptionText("QQ==QkM=", true), "A");   // ends at the first zero byte
    EXPECT_EQ(DescriptionText("5Y2H5w==", true), "升");   // a sequence cut short is dropped
    EXPECT_EQ(*Base64Decode(""), "");
}

TEST(UpdateDescription, OnlyOneAndThreeByteSequencesAreUnderstood) {
    const uint8_t mixed[] = {'A', 0xE5, 0x8D, 0x87, 0xED, 0xA0, 0x80, 'z'};  // A, 升, a lone surrogate, z
    EXPECT_EQ(CCodeConvert().Utf8ToAnsi(mixed, sizeof mixed), "A\xC9\xFD?z");
}

TEST(UpdatePaths, ClientFolderAndArchiveNames) {
    EXPECT_EQ(ClientFolderOf("C:\\IM\\UpDate.exe", '\\'), "C:\\IM");
    EXPECT_EQ(ClientFolderOf("UpDate.exe", '\\'), std::nullopt);
    EXPECT_EQ(ClientFolderOf("C:\\\xB1\x5C\\UpDate.exe", '\\'), "C:\\\xB1\x5C");  // a trail byte 0x5C
    EXPECT_EQ(ArchiveNameOf("pkgs/2024/one.zip"), "one.zip");
    EXPECT_EQ(ArchiveNameOf("one.zip"), "one.zip");
    EXPECT_EQ(ArchiveNameOf("a\\..\\..\\evil.zip"), "evil.zip");
    EXPECT_EQ(ArchiveNameOf("pkgs/"), "");
    EXPECT_EQ(ArchiveNameOf(".."), "");
    EXPECT_EQ(ArchiveNameOf("C:evil.zip"), "");
    EXPECT_EQ(ArchiveNameOf("pkgs/nul.zip"), "");
}

TEST(UpdatePaths, ActionNamesAreNormalisedAndEscapesRefused) {
    EXPECT_EQ(NormalisedActionName("sub/new.txt", '\\'), "\\sub\\new.txt");
    EXPECT_EQ(NormalisedActionName("\\sub\\new.txt", '/'), "/sub/new.txt");
    EXPECT_EQ(NormalisedActionName("./a.txt", '/'), "/./a.txt");
    EXPECT_EQ(NormalisedActionName("\xB1\x5C.txt", '/'), "/\xB1\x5C.txt");  // not a separator
    for (const char* bad : {"../x", "a/../../x", "..\\x", "a\\..", "...\\x", ". .\\x", "C:\\x", "C:x", "\\\\server\\share\\x",
                            "//server/x", "\\\\?\\C:\\x", "a.txt:stream", "con", "sub/NUL.txt", "Com1.log", "aux .txt"})
        EXPECT_EQ(NormalisedActionName(bad, '\\'), std::nullopt) << bad;
    EXPECT_EQ(NormalisedActionName("console.txt", '/'), "/console.txt");
}

TEST(UpdatePaths, CaseIsIgnoredForLettersOnly) {
    EXPECT_TRUE(SameTextIgnoringCase("C:\\IM\\ZIROIM2.EXE", "c:\\im\\ziroim2.exe"));
    EXPECT_FALSE(SameTextIgnoringCase("\xB0\x41.exe", "\xB0\x61.exe"));  // two different characters
}

}  // namespace
}  // namespace update
