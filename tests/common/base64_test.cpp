#include <gtest/gtest.h>

#include <string>

#include "common/base64.h"

namespace {

std::string Encode(const std::string& bytes) {
    std::string text(common::Base64Length(bytes.size()), '\0');
    common::Base64Encode(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), text.data());
    return text;
}

// -1, or the bytes the group decodes to.
std::string DecodeGroup(const char* group) {
    uint8_t out[3] = {0xEE, 0xEE, 0xEE};
    const int n = common::Base64DecodeGroup(group, out);
    return n < 0 ? "-1" : std::string(reinterpret_cast<char*>(out), size_t(n));
}

TEST(Base64Core, EncodesTheStandardTestVectors) {
    EXPECT_EQ(Encode(""), "");
    EXPECT_EQ(Encode("f"), "Zg==");
    EXPECT_EQ(Encode("fo"), "Zm8=");
    EXPECT_EQ(Encode("foo"), "Zm9v");
    EXPECT_EQ(Encode("foob"), "Zm9vYg==");
    EXPECT_EQ(Encode("fooba"), "Zm9vYmE=");
    EXPECT_EQ(Encode("foobar"), "Zm9vYmFy");
    EXPECT_EQ(Encode(std::string("\xFB\xFF\xBF", 3)), "+/+/");
}

TEST(Base64Core, DecodesWholeAndPaddedGroups) {
    EXPECT_EQ(DecodeGroup("Zm9v"), "foo");
    EXPECT_EQ(DecodeGroup("Zm8="), "fo");
    EXPECT_EQ(DecodeGroup("Zg=="), "f");
    EXPECT_EQ(DecodeGroup("AAAA"), std::string(3, '\0'));
    EXPECT_EQ(DecodeGroup("+/+/"), "\xFB\xFF\xBF");
}

TEST(Base64Core, RefusesGroupsOfAnyOtherForm) {
    for (const char* bad : {"Z===", "====", "Zm=v", "=m9v", "Zm9\n", "Zm 9", "Zm9-", "Z\x80==" })
        EXPECT_EQ(DecodeGroup(bad), "-1") << bad;
}

}  // namespace
