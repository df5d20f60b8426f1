// Recipient lists and AUTH LOGIN lines.
#include <gtest/gtest.h>

#include "mail/smtp/smtp_wire.h"

using ziromail::EncodeCredential;
using ziromail::SplitRecipients;
using Addresses = std::vector<std::string_view>;

TEST(SplitRecipients, EitherSeparatorAndNoTrimming) {
    EXPECT_EQ(SplitRecipients("a@x; b@x;"), (Addresses{"a@x", " b@x", ""}));
    EXPECT_EQ(SplitRecipients("a@x,b@x;c@x"), (Addresses{"a@x", "b@x", "c@x"}));
    EXPECT_EQ(SplitRecipients(",,"), (Addresses{"", "", ""}));
    EXPECT_EQ(SplitRecipients("solo@x"), (Addresses{"solo@x"}));
    EXPECT_TRUE(SplitRecipients("").empty());
}

TEST(EncodeCredential, OneLineOfBase64ThenCrLf) {
    EXPECT_EQ(EncodeCredential("user", 4), "dXNlcg==\r\n");
    EXPECT_EQ(EncodeCredential("", 0), "\r\n");
    std::string long57(57, 'a');
    std::string line = EncodeCredential(long57.data(), long57.size());
    EXPECT_EQ(line.size(), 78u);
    EXPECT_EQ(line.find("\r\n"), 76u);
}
