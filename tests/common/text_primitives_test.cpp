// The byte-level text rules that the components share: GBK characters, UTF-8
// sequences and ASCII case.
#include <gtest/gtest.h>

#include "common/ascii_case.h"
#include "common/gbk_text.h"
#include "common/utf8_text.h"

namespace {

TEST(TextPrimitives, GbkCharactersAreLeadAndTrailPairs) {
    const std::string_view text("a\x81\x5C\xB8\xFC\xFF\x81", 7);  // a, a pair ending in "\", 更, a lone 0xFF, a cut lead
    EXPECT_EQ(common::GbkCharacterLength(text, 0), 1u);
    EXPECT_EQ(common::GbkCharacterLength(text, 1), 2u);
    EXPECT_EQ(common::GbkCharacterLength(text, 3), 2u);
    EXPECT_EQ(common::GbkCharacterLength(text, 5), 1u);
    EXPECT_EQ(common::GbkCharacterLength(text, 6), 1u);
    EXPECT_EQ(common::GbkCharacterLength("\x81\x7F", 0), 1u);  // 0x7F is no trail byte
    EXPECT_EQ(common::GbkPrefixLength(text, 2), 1u);             // the pair is not split
    EXPECT_EQ(common::GbkPrefixLength(text, 5), 5u);
    EXPECT_EQ(common::GbkPrefixLength(text, 100), text.size());
}

TEST(TextPrimitives, Utf8IsReadStrictlyAndWrittenBack) {
    const auto upgrade = common::DecodeUtf8("\xE5\x8D\x87", 0);  // 升
    ASSERT_TRUE(upgrade);
    EXPECT_EQ(upgrade->value, 0x5347u);
    EXPECT_EQ(upgrade->length, 3u);
    for (const char* bad : {"\x80", "\xC0\xAF", "\xE0\x80\xAF", "\xED\xA0\x80", "\xF4\x90\x80\x80", "\xE6\x9B", "\xFF"})
        EXPECT_FALSE(common::IsValidUtf8(bad)) << bad;
    EXPECT_TRUE(common::IsValidUtf8("a\xC2\xA9\xF0\x9F\x98\x80"));
    const uint8_t loose[] = {0xED, 0xA0, 0x80};  // a surrogate: no character, but its value bits
    EXPECT_EQ(common::Utf8SequenceValue(loose, 3), 0xD800u);
    EXPECT_EQ(common::Utf8CharacterLength("\xF0\x9F", 0), 2u);  // never past the end
    for (uint32_t value : {0x41u, 0xA9u, 0x5347u, 0x1F600u}) {
        std::string text;
        common::AppendUtf8(text, value);
        const auto back = common::DecodeUtf8(text, 0);
        ASSERT_TRUE(back) << value;
        EXPECT_EQ(back->value, value);
        EXPECT_EQ(back->length, text.size());
    }
}

TEST(TextPrimitives, AsciiCaseLeavesOtherBytes) {
    EXPECT_EQ(common::AsciiLower('Q'), 'q');
    EXPECT_EQ(common::AsciiUpper('q'), 'Q');
    EXPECT_EQ(common::AsciiLower('\xC1'), '\xC1');
    EXPECT_EQ(common::AsciiUpper('['), '[');
}

}  // namespace
