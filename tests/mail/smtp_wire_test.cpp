// Recipient lists, AUTH LOGIN lines and multi-line replies.
#include <gtest/gtest.h>

#include "mail/smtp/smtp_reply.h"
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

TEST(SmtpReply, LinesUpToTheLastMakeTheReplyAndNameItsExtensions) {
    using ziromail::ParseReply;
    using State = ziromail::SmtpReply::State;
    ziromail::SmtpReply reply = ParseReply("250-mx.example.com\r\n250-starttls\r\n250 AUTH LOGIN PLAIN\r\n250 next");
    EXPECT_EQ(reply.state, State::Complete);
    EXPECT_EQ(reply.code, "250");
    EXPECT_EQ(reply.texts, (std::vector<std::string>{"mx.example.com", "starttls", "AUTH LOGIN PLAIN"}));
    EXPECT_TRUE(ziromail::OffersExtension(reply, "STARTTLS"));
    EXPECT_TRUE(ziromail::OffersExtension(reply, "AUTH"));
    EXPECT_FALSE(ziromail::OffersExtension(ParseReply("250 STARTTLS\r\n"), "STARTTLS"));  // the greeting line
    EXPECT_EQ(ParseReply("250\n").state, State::Complete);
    EXPECT_EQ(ParseReply("250-a\r\n250-b").state, State::Incomplete);
    EXPECT_EQ(ParseReply("25").state, State::Incomplete);
    EXPECT_EQ(ParseReply("250-a\r\n220 b\r\n").state, State::Malformed);
    EXPECT_EQ(ParseReply("2x0 b\r\n").state, State::Malformed);
    EXPECT_EQ(ParseReply("250_b\r\n").state, State::Malformed);
}
