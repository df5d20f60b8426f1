// Entry names and file patterns, on their own: what the extraction
// tests cannot reach through real archives on every platform.
#include <gtest/gtest.h>

#include "update/unzdll/entry_name.h"
#include "update/unzdll/file_specs.h"

namespace unzdll {
namespace {

TEST(EntryNameTest, SafeNamesBecomeSlashSeparatedPaths) {
    EXPECT_EQ(ResolveEntryName("a/b/c.txt", false).path, "a/b/c.txt");
    EXPECT_EQ(ResolveEntryName("a\\b\\c.txt", false).path, "a/b/c.txt");
    EXPECT_EQ(ResolveEntryName("./a//b/./c.txt", false).path, "a/b/c.txt");
    EXPECT_EQ(ResolveEntryName("..a/b..c/.profile", false).path, "..a/b..c/.profile");
    const EntryName folder = ResolveEntryName("docs/empty/", false);
    EXPECT_TRUE(folder.folder);
    EXPECT_EQ(folder.path, "docs/empty");
    EXPECT_EQ(ResolveEntryName("./", false).check, NameCheck::Safe);  // the root itself: nothing to make
}

TEST(EntryNameTest, GbkAndUtf8DecodeToTheSameCharacters) {
    const EntryName gbk = ResolveEntryName("\xB8\xFC\xD0\xC2/\x81\x5C.txt", false);  // 更新/乗.txt
    ASSERT_EQ(gbk.check, NameCheck::Safe);
    EXPECT_EQ(gbk.path, "\xE6\x9B\xB4\xE6\x96\xB0/\xE4\xB9\x97.txt");  // the 0x5C second byte is no separator
    EXPECT_EQ(ResolveEntryName("\xE6\x9B\xB4\xE6\x96\xB0/\xE4\xB9\x97.txt", true).path, gbk.path);
    EXPECT_EQ(DisplayName("\xE6\x9B\xB4\xE6\x96\xB0\n", true, true), "\xB8\xFC\xD0\xC2?");
}

TEST(EntryNameTest, EscapesAndDevicesAreRefused) {
    for (const char* name : {"../x", "a/../../x", "a\\..\\x", "/etc/passwd", "\\x", "C:x", "C:/x", "a/b:c",
                             "a/.. /x", "a/.../x", "con", "NUL.txt", "a/Com1.log", "lpt9", "aux .txt", "",
                             ".", "a/\x01"})
        EXPECT_EQ(ResolveEntryName(name, false).check, NameCheck::Unsafe) << name;
    EXPECT_EQ(ResolveEntryName("console.txt", false).check, NameCheck::Safe);
    EXPECT_EQ(ResolveEntryName("com10", false).check, NameCheck::Safe);
}

TEST(EntryNameTest, TextThatIsNotInItsCodePageIsUnreadable) {
    for (const char* utf8 : {"\xFF", "\xC0\xAF", "\xE0\x80\xAF", "\xED\xA0\x80", "\xF4\x90\x80\x80", "\xE6\x9B"})
        EXPECT_EQ(ResolveEntryName(utf8, true).check, NameCheck::Unreadable) << utf8;
    EXPECT_EQ(ResolveEntryName("\x81\x20", false).check, NameCheck::Unreadable);
    EXPECT_EQ(ResolveEntryName("\xB8", false).check, NameCheck::Unreadable);
    const std::string shown = DisplayName("\x81\x20\xB8\xFC", false, false);  // platforms substitute differently
    EXPECT_TRUE(shown.starts_with("?") && shown.ends_with("\xB8\xFC") && shown.find('\x81') == std::string::npos)
        << shown;
}

TEST(FileSpecsTest, WildcardsMatchLikeTheUpdaterExpects) {
    EXPECT_TRUE(WildcardMatch("*.*", "no-dot"));
    EXPECT_TRUE(WildcardMatch("*", "a/b/c"));
    EXPECT_TRUE(WildcardMatch("*.txt", "dir/name.txt"));
    EXPECT_FALSE(WildcardMatch("*.txt", "name.txt.bak"));
    EXPECT_TRUE(WildcardMatch("a*b*c", "aXbYbZc"));
    EXPECT_TRUE(WildcardMatch("?.txt", "\xE6\x9B\xB4.txt"));  // one character, three bytes
    EXPECT_FALSE(WildcardMatch("??.txt", "\xE6\x9B\xB4.txt"));
    EXPECT_FALSE(WildcardMatch("*.TXT", "a.txt"));
    EXPECT_TRUE(FileSpecs().Matches("anything"));
    EXPECT_TRUE(FileSpecs({"x", "b*"}).Matches("bin/app"));
    EXPECT_FALSE(FileSpecs({"x", "b*"}).Matches("app"));
}

}  // namespace
}  // namespace unzdll
