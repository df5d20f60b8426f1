#include <gtest/gtest.h>

#include "platform/text_encoding.h"

namespace {

const char kShengJiUtf8[] = "\xE5\x8D\x87\xE7\xBA\xA7";  // 升级
const char kShengJiGbk[] = "\xC9\xFD\xBC\xB6";

TEST(TextEncoding, ConvertsChineseBothWays) {
    EXPECT_EQ(platform::Utf8ToGbk(kShengJiUtf8), kShengJiGbk);
    EXPECT_EQ(platform::GbkToUtf8(kShengJiGbk), kShengJiUtf8);
    EXPECT_EQ(platform::GbkToUtf8(std::string("a") + kShengJiGbk + "b"), std::string("a") + kShengJiUtf8 + "b");
}

TEST(TextEncoding, NarrowLiteralsAreStoredAsGbk) {
    EXPECT_STREQ("升级", kShengJiGbk);
}

TEST(TextEncoding, BadInputIsReplacedNotDropped) {
    const std::string cut = platform::GbkToUtf8("x\xC9");  // a lead byte with nothing after it
    ASSERT_GE(cut.size(), 2u);
    EXPECT_EQ(cut[0], 'x');
    EXPECT_FALSE(platform::Utf8ToGbk("\xFF\xFE").empty());
}

}  // namespace
