// The composed message: header, the three layouts, inline pictures and attachments.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <regex>

#include "mail/coders/base64.h"
#include "mail/coders/encoded_words.h"
#include "mail/mime/message_composer.h"

namespace {

using ziromail::SmtpSession;
namespace fs = std::filesystem;

class Composer : public testing::Test {
protected:
    void SetUp() override {
        folder_ = fs::path(testing::TempDir()) /
                  ("composer-" + std::string(testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::create_directories(folder_);
        session_.userName = "user@example.com";
        session_.toList = "to@example.com";
        session_.subject = "Hello";
        session_.htmlBody = "<html><body>hi</body></html>";
    }
    void TearDown() override { fs::remove_all(folder_); }

    std::string File(const std::string& name, const std::string& bytes) {
        fs::path path = folder_ / name;
        fs::create_directories(path.parent_path());
        // Names the file system refuses stay missing files.
        if (std::FILE* file = std::fopen(path.string().c_str(), "wb")) {
            std::fwrite(bytes.data(), 1, bytes.size(), file);
            std::fclose(file);
        }
        return path.string();
    }

    std::string Compose() { return ziromail::ComposeMessage(session_); }

    static std::string Boundary(const std::string& message) {
        std::smatch match;
        std::regex_search(message, match, std::regex("boundary=\"([^\"]+)\""));
        return match[1];
    }

    static std::string Base64(const std::string& bytes) {
        std::string text(ziromail::Base64LinesLength(bytes.size()), '\0');
        ziromail::Base64EncodeLines(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size(), text.data(),
                                    text.size());
        return text;
    }

    // Positions of the given texts, which must all occur in this order.
    static void ExpectInOrder(const std::string& message, const std::vector<std::string>& texts) {
        std::size_t at = 0;
        for (const std::string& text : texts) {
            std::size_t found = message.find(text, at);
            ASSERT_NE(found, std::string::npos) << "missing after " << at << ": " << text;
            at = found + text.size();
        }
    }

    static std::size_t Count(const std::string& message, const std::string& text) {
        std::size_t count = 0;
        for (std::size_t at = message.find(text); at != std::string::npos; at = message.find(text, at + 1)) ++count;
        return count;
    }

    SmtpSession session_{"127.0.0.1", 25, 0};
    fs::path folder_;
};

}  // namespace

TEST_F(Composer, HeaderFieldsInOrderThenTheFirstDelimiter) {
    session_.subject = "\xb2\xe2\xca\xd4\xd3\xca\xbc\xfe";  // "测试邮件" in GBK
    std::string message = Compose();
    std::string boundary = Boundary(message);
    std::regex header(
        "Date: \\w{3}, \\d{1,2} \\w{3} \\d{4} \\d\\d:\\d\\d:\\d\\d [+-]\\d{4}\r\n"
        "MIME-Version: 1.0\r\nFrom: user@example.com\r\nTo: to@example.com\r\nCC: \r\n"
        "Subject: =\\?GBK\\?B\\?suLK1NPKvP4=\\?=\r\n"
        "Content-Type: multipart/mixed; boundary=\"__=_Part_Boundary_\\d{3}_\\d{6}\\.\\d{6}\"\r\n"
        "\r\n--__=_Part_Boundary_[^\r]+\r\n[^]*");
    EXPECT_TRUE(std::regex_match(message, header)) << message;
    EXPECT_EQ(message.substr(message.size() - boundary.size() - 8), "\r\n--" + boundary + "--\r\n");
}

TEST_F(Composer, GbkTextsGoOutAsEncodedWordsFoldedAt76Columns) {
    const std::string zhang = "\xd5\xc5\xc8\xfd", li = "\xc0\xee\xcb\xc4";  // "张三", "李四"
    std::string subject;
    for (int i = 0; i < 30; ++i) subject += "\xb2\xe2";  // "测" thirty times
    session_.subject = "Re: " + subject;
    session_.userName = zhang + " <user@example.com>";
    session_.toList = "\"" + li + "\" <a@example.com>;b@example.com";
    std::string message = Compose();
    std::string header = message.substr(0, message.find("\r\n\r\n") + 2);
    for (std::size_t at = 0; at < message.size();) {
        std::size_t end = message.find("\r\n", at);
        if (message.find("=?", at) < end) {
            EXPECT_LE(end - at, 76u) << message.substr(at, end - at);
        }
        at = end + 2;
    }
    EXPECT_FALSE(ziromail::HasNonAscii(message));
    auto decoded = [](std::string field) { return ziromail::DecodeEncodedWords(field); };
    EXPECT_NE(decoded(header).find("\r\nSubject: Re: " + subject + "\r\n"), std::string::npos) << header;
    EXPECT_NE(decoded(header).find("\r\nFrom: " + zhang + " <user@example.com>\r\n"), std::string::npos);
    EXPECT_NE(decoded(header).find("\r\nTo: " + li + " <a@example.com>,b@example.com\r\n"), std::string::npos);
    EXPECT_NE(message.find("\r\nFrom: =?GBK?B?1cXI/Q==?= <user@example.com>\r\n"), std::string::npos);
}

TEST_F(Composer, RecipientListsBecomeCommaSeparatedAddressLists) {
    session_.toList = "a@example.com;b@example.com, c@example.com;";
    session_.ccList = "d@example.com;e@example.com";
    std::string message = Compose();
    EXPECT_NE(message.find("\r\nTo: a@example.com,b@example.com, c@example.com,\r\n"
                           "CC: d@example.com,e@example.com\r\n"),
              std::string::npos);
}

TEST_F(Composer, HtmlAloneIsTheOnlyChildOfAMixedRoot) {
    std::string message = Compose();
    std::string boundary = Boundary(message);
    EXPECT_EQ(Count(message, "--" + boundary + "\r\n"), 1u);
    ExpectInOrder(message, {"Content-Type: multipart/mixed;", "\r\n\r\n--" + boundary + "\r\n",
                            "Content-Type: text/html; charset=GBK\r\nContent-Transfer-Encoding: base64\r\n\r\n" +
                                Base64(session_.htmlBody),
                            "\r\n--" + boundary + "--\r\n"});
}

TEST_F(Composer, AttachmentsFollowTheHtmlInTheOrderAdded) {
    std::string pdf = File("report.pdf", "%PDF-1.4 report");
    std::string bin = File("data.bin", std::string("\0\1\2\3\xff", 5));
    session_.attachments = {pdf, bin};
    std::string message = Compose();
    std::string boundary = Boundary(message);
    EXPECT_EQ(Count(message, "--" + boundary + "\r\n"), 3u);
    EXPECT_EQ(message.find("Content-ID"), std::string::npos);
    EXPECT_EQ(message.find("Content-Disposition"), std::string::npos);
    ExpectInOrder(message, {"Content-Type: text/html",
                            "\r\n--" + boundary +
                                "\r\nContent-Transfer-Encoding: base64\r\n"
                                "Content-Type: application/pdf; name=\"report.pdf\"\r\n\r\n" +
                                Base64("%PDF-1.4 report"),
                            "\r\n--" + boundary +
                                "\r\nContent-Transfer-Encoding: base64\r\n"
                                "Content-Type: application/octet-stream; name=\"data.bin\"\r\n\r\n" +
                                Base64(std::string("\0\1\2\3\xff", 5)),
                            "\r\n--" + boundary + "--\r\n"});
}

TEST_F(Composer, PicturesWithoutAttachmentsMakeARelatedRoot) {
    std::string gif = File("pics/a.gif", "GIF89a-picture");
    session_.htmlBody = "<IMG src=\"" + gif + "\"><IMG src=\"" + gif + "\">";
    std::string message = Compose();
    std::string boundary = Boundary(message);
    EXPECT_EQ(Count(message, "Content-ID"), 1u);
    ExpectInOrder(message, {"Content-Type: multipart/related; boundary=\"" + boundary + "\"\r\n\r\n--" + boundary,
                            "\r\nContent-Type: multipart/alternative; boundary=\"embeded_multipart_boundary\"\r\n"
                            "\r\n--embeded_multipart_boundary\r\nContent-Type: text/html; charset=GBK\r\n",
                            Base64("<IMG src=\"cid:a.gif\"><IMG src=\"cid:a.gif\">"),
                            "\r\n--embeded_multipart_boundary--\r\n",
                            "\r\n--" + boundary +
                                "\r\nContent-Transfer-Encoding: base64\r\n"
                                "Content-Type: image/gif; name=\"a.gif\"\r\nContent-ID: <a.gif>\r\n\r\n" +
                                Base64("GIF89a-picture"),
                            "\r\n--" + boundary + "--\r\n"});
}

TEST_F(Composer, PicturesWithAttachmentsNestRelatedAndAlternative) {
    std::string first = File("one/x.jpg", "first picture");
    std::string second = File("two/x.jpg", "second picture");
    std::string zip = File("files.zip", "PK zip");
    session_.htmlBody = "<IMG src=\"" + first + "\"> <IMG src=\"" + second + "\">";
    session_.attachments = {zip};
    std::string message = Compose();
    std::string boundary = Boundary(message);
    EXPECT_EQ(Count(message, "Content-ID: <x.jpg>\r\n"), 1u);
    EXPECT_EQ(Count(message, "Content-ID: <x-2.jpg>\r\n"), 1u);
    EXPECT_EQ(Count(message, "name=\"x.jpg\""), 2u);
    EXPECT_EQ(Count(message, Base64("<IMG src=\"cid:x.jpg\"> <IMG src=\"cid:x-2.jpg\">")), 1u);
    ExpectInOrder(message, {"Content-Type: multipart/mixed; boundary=\"" + boundary + "\"\r\n\r\n--" + boundary,
                            "\r\nContent-Type: multipart/related; boundary=\"embeded_multipart_boundary\"\r\n"
                            "\r\n--embeded_multipart_boundary\r\n"
                            "Content-Type: multipart/alternative; boundary=\"sub_multipart_boundary\"\r\n"
                            "\r\n--sub_multipart_boundary\r\nContent-Type: text/html; charset=GBK\r\n",
                            "\r\n--sub_multipart_boundary--\r\n", "\r\n--embeded_multipart_boundary\r\n",
                            Base64("first picture"), "\r\n--embeded_multipart_boundary\r\n",
                            Base64("second picture"), "\r\n--embeded_multipart_boundary--\r\n",
                            "\r\n--" + boundary + "\r\n", "name=\"files.zip\"", Base64("PK zip"),
                            "\r\n--" + boundary + "--\r\n"});
}

TEST_F(Composer, MissingFilesStillGiveTheirParts) {
    session_.htmlBody = "<IMG src=\"" + (folder_ / "gone.gif").string() + "\">";
    session_.attachments = {(folder_ / "absent.pdf").string()};
    std::string message = Compose();
    ExpectInOrder(message, {"Content-Transfer-Encoding: base64\r\nContent-ID: <gone.gif>\r\n\r\n",
                            "\r\nContent-Transfer-Encoding: base64\r\n\r\n"});
}

TEST_F(Composer, HostTextWithLineBreaksStaysInsideItsHeaderLine) {
    session_.subject = "Hi\r\n.\r\nBcc: x@example.com";
    session_.toList = "to@example.com\nX-Injected: yes";
    // Only where file names may hold a line break does the file exist.
    session_.attachments = {File("evil\nX-Evil: 1.txt", "text")};
    std::string message = Compose();
    EXPECT_NE(message.find("Subject: Hi  .  Bcc: x@example.com\r\n"), std::string::npos);
    EXPECT_NE(message.find("To: to@example.com X-Injected: yes\r\n"), std::string::npos);
    EXPECT_EQ(message.find("\nX-Evil"), std::string::npos);
    EXPECT_EQ(message.find("\r\n.\r\n"), std::string::npos);
}

TEST_F(Composer, LongFileNamesAndPathsAreKeptWhole) {
    std::string name = std::string(200, 'n') + ".pdf";
    std::string path = File(std::string(120, 'd') + "/" + name, "long");
    ASSERT_GT(path.size(), 260u);
    session_.attachments = {path};
    std::string message = Compose();
    EXPECT_NE(message.find("name=\"" + name + "\"\r\n\r\n" + Base64("long")), std::string::npos);
}

TEST_F(Composer, AttachmentBytesRoundTripThroughBase64) {
    std::string bytes;
    for (int i = 0; i < 100000; ++i) bytes += static_cast<char>((i * 7919) >> 3);
    session_.attachments = {File("random.dat", bytes)};
    std::string message = Compose();
    std::size_t start = message.find("name=\"random.dat\"\r\n\r\n") + 21;
    std::size_t end = message.find("\r\n--", start);
    std::string text = message.substr(start, end - start);
    std::string decoded(bytes.size() + 3, '\0');
    decoded.resize(ziromail::Base64Decode(text.data(), text.size(), reinterpret_cast<unsigned char*>(decoded.data()),
                                          decoded.size()));
    EXPECT_EQ(decoded, bytes);
}
