// Content coders, field coders and their registries.
#include <gtest/gtest.h>

#include <string>

#include "mail/coders/content_coder_registry.h"
#include "mail/coders/field_coder_registry.h"

namespace {

using namespace ziromail;

std::string EncodeWith(std::string_view encoding, const std::string& content) {
    auto coder = ContentCoderRegistry::Instance().Create(encoding, content.data(), content.size(), true);
    std::string out(coder->OutputLength(), '\0');
    out.resize(coder->Encode(out.data(), out.size()));
    return out;
}

std::string DecodeWith(std::string_view encoding, const std::string& text) {
    auto coder = ContentCoderRegistry::Instance().Create(encoding, text.data(), text.size(), false);
    std::string out(coder->OutputLength(), '\0');
    out.resize(coder->Run(out.data(), out.size()));
    return out;
}

std::string Bytes(std::size_t n) {
    std::string bytes;
    for (std::size_t i = 0; i < n; ++i) bytes += static_cast<char>(i * 37 + 11);
    return bytes;
}

}  // namespace

TEST(Base64Coder, FiftySevenBytesMakeOneFullLine) {
    std::string text = EncodeWith("base64", Bytes(57));
    ASSERT_EQ(text.size(), 78u);
    EXPECT_EQ(text.substr(76), "\r\n");
    EXPECT_EQ(text.find('\r'), 76u);
}

TEST(Base64Coder, FiftyEightBytesAddAShortPaddedLine) {
    std::string text = EncodeWith("base64", Bytes(58));
    ASSERT_EQ(text.size(), 78u + 6u);
    EXPECT_EQ(text.substr(78, 2 + 2), text.substr(78, 2) + "==");
    EXPECT_EQ(text.substr(80), "==\r\n");
}

TEST(Base64Coder, EmptyInputWritesNothingAndKnownTextEncodesAsUsual) {
    EXPECT_EQ(EncodeWith("base64", ""), "");
    EXPECT_EQ(EncodeWith("base64", "M"), "TQ==\r\n");
    EXPECT_EQ(EncodeWith("base64", "Ma"), "TWE=\r\n");
    EXPECT_EQ(EncodeWith("base64", "Man"), "TWFu\r\n");
}

TEST(Base64Coder, OutputLengthBoundsEveryInputAndRoundTrips) {
    for (std::size_t n : {0u, 1u, 56u, 57u, 58u, 113u, 114u, 115u, 1000u, 4096u}) {
        std::string content = Bytes(n);
        auto coder = ContentCoderRegistry::Instance().Create("base64", content.data(), content.size(), true);
        std::size_t text = (n + 2) / 3 * 4;
        EXPECT_EQ(coder->OutputLength(), text + 2 * (text / 76) + 2) << n;
        std::string encoded = EncodeWith("base64", content);
        EXPECT_LE(encoded.size(), coder->OutputLength()) << n;
        EXPECT_EQ(DecodeWith("base64", encoded), content) << n;
    }
}

TEST(Base64Coder, StopsAtTheEndOfASmallBuffer) {
    std::string content = Bytes(100);
    auto coder = ContentCoderRegistry::Instance().Create("BASE64", content.data(), content.size(), true);
    char out[50];
    out[49] = '#';
    EXPECT_EQ(coder->Encode(out, 49), 49u);
    EXPECT_EQ(out[49], '#');
    EXPECT_EQ(std::string(out, 49), EncodeWith("base64", content).substr(0, 49));
}

TEST(ContentCoderRegistry, NamesAreCaseInsensitiveAndUnknownOnesCopy) {
    EXPECT_EQ(EncodeWith("BASE64", "Man"), "TWFu\r\n");
    EXPECT_EQ(EncodeWith("8bit", "a\x80z"), "a\x80z");
    EXPECT_EQ(EncodeWith("", "plain = text"), "plain = text");
    EXPECT_EQ(EncodeWith("Quoted-Printable", "a=b"), "a=3Db");
}

TEST(ContentCoderRegistry, RegisteringANameAgainReplacesEveryEarlierEntry) {
    ContentCoderRegistry registry;
    ContentCoderFactory plain = [](const char* d, std::size_t n, bool e) -> std::unique_ptr<ContentCoder> {
        return std::make_unique<PlainCoder>(d, n, e);
    };
    ContentCoderFactory base64 = [](const char* d, std::size_t n, bool e) -> std::unique_ptr<ContentCoder> {
        return std::make_unique<Base64Coder>(d, n, e);
    };
    registry.Register("x-test", plain);
    registry.Register("X-TEST", base64);
    EXPECT_EQ(registry.Find("x-Test"), base64);
    EXPECT_EQ(registry.Find("other"), nullptr);
    std::string out(16, '\0');
    EXPECT_EQ(out.substr(0, registry.Create("x-test", "Man", 3, true)->Encode(out.data(), out.size())), "TWFu\r\n");
}

TEST(QuotedPrintableCoder, EscapesWhatIsNotPrintable) {
    EXPECT_EQ(EncodeWith("quoted-printable", "caf\xe9 = ok\r\n"), "caf=E9 =3D ok\r\n");
    EXPECT_EQ(EncodeWith("quoted-printable", "tab\there"), "tab\there");
}

TEST(QuotedPrintableCoder, TrailingBlanksAreEscaped) {
    EXPECT_EQ(EncodeWith("quoted-printable", "end "), "end=20");
    EXPECT_EQ(EncodeWith("quoted-printable", "line\t\r\nnext"), "line=09\r\nnext");
    EXPECT_EQ(EncodeWith("quoted-printable", "a b"), "a b");
}

TEST(QuotedPrintableCoder, LoneDotsAreEscapedExceptAtTheVeryStart) {
    EXPECT_EQ(EncodeWith("quoted-printable", "x\r\n.\r\ny"), "x\r\n=2E\r\ny");
    EXPECT_EQ(EncodeWith("quoted-printable", ".\r\n"), ".\r\n");
    EXPECT_EQ(EncodeWith("quoted-printable", "x\r\n..\r\n"), "x\r\n..\r\n");
}

TEST(QuotedPrintableCoder, LongLinesBreakAfterTheLastBlank) {
    std::string words;
    for (int i = 0; i < 20; ++i) words += "word ";
    words += "end";
    std::string text = EncodeWith("quoted-printable", words);
    std::size_t soft = text.find("=\r\n");
    ASSERT_NE(soft, std::string::npos);
    EXPECT_EQ(text[soft - 1], ' ');
    EXPECT_LE(soft, 75u);
    EXPECT_EQ(DecodeWith("quoted-printable", text), words);
}

TEST(QuotedPrintableCoder, LinesWithoutBlanksBreakAtSeventyFive) {
    std::string text = EncodeWith("quoted-printable", std::string(200, 'a'));
    EXPECT_EQ(text.substr(0, 78), std::string(75, 'a') + "=\r\n");
    std::string escapes = EncodeWith("quoted-printable", std::string(30, '\xff'));
    EXPECT_EQ(escapes.find("=\r\n"), 75u);
    for (const std::string& encoded : {text, escapes}) {
        std::size_t start = 0;
        for (std::size_t end; (end = encoded.find("\r\n", start)) != std::string::npos; start = end + 2)
            EXPECT_LE(end - start, 76u);
    }
    EXPECT_EQ(DecodeWith("quoted-printable", escapes), std::string(30, '\xff'));
}

TEST(QuotedPrintableCoder, OutputLengthIsExact) {
    std::string content = "a line with blanks at the end  \r\n" + std::string(90, '=') + "\r\n.\r\n";
    auto coder = ContentCoderRegistry::Instance().Create("quoted-printable", content.data(), content.size(), true);
    EXPECT_EQ(coder->OutputLength(), EncodeWith("quoted-printable", content).size());
}

TEST(FieldCoders, ValuesWithoutCharsetAreCopiedByteForByte) {
    // "测试邮件" in GBK.
    const std::string subject = "\xb2\xe2\xca\xd4\xd3\xca\xbc\xfe";
    for (const char* name : {"Subject", "From", "CC", "Content-Type", "X-Anything"}) {
        auto coder = FieldCoderRegistry::Instance().Create(name, subject, "");
        EXPECT_EQ(coder->Encode(), subject) << name;
        EXPECT_EQ(coder->OutputLength(), subject.size()) << name;
    }
}

TEST(FieldCoders, KindsFollowTheFieldName) {
    EXPECT_TRUE(FieldCoderRegistry::Instance().Create("CC", "", "")->IsFoldingCharacter(','));
    EXPECT_TRUE(FieldCoderRegistry::Instance().Create("reply-to", "", "")->IsFoldingCharacter(':'));
    EXPECT_TRUE(FieldCoderRegistry::Instance().Create("content-disposition", "", "")->IsFoldingCharacter(';'));
    EXPECT_FALSE(FieldCoderRegistry::Instance().Create("Subject", "", "")->IsFoldingCharacter(','));
    EXPECT_FALSE(FieldCoderRegistry::Instance().Create("Date", "", "")->IsFoldingCharacter(','));
}

TEST(FieldCoders, WithACharsetNonAsciiPiecesBecomeEncodedWords) {
    const std::string name = "\xd5\xc5\xc8\xfd";  // "张三" in GBK
    auto address = FieldCoderRegistry::Instance().Create("To", name + " <a@example.com>, b@example.com", "gbk");
    std::string encoded = address->Encode();
    EXPECT_EQ(encoded, "=?gbk?B?1cXI/Q==?= <a@example.com>, b@example.com");
    EXPECT_EQ(FieldCoderRegistry::Instance().Create("To", encoded, "gbk")->Decode(), name + " <a@example.com>, b@example.com");
    EXPECT_EQ(FieldCoderRegistry::Instance().Create("Date", name, "gbk")->Encode(), name);
}

TEST(FieldCoders, QuotedTextIsOnePieceAndPiecesWithoutNonAsciiStay) {
    const std::string name = "\xd5\xc5\xc8\xfd";  // "张三" in GBK
    auto& coders = FieldCoderRegistry::Instance();
    EXPECT_EQ(coders.Create("To", "\"" + name + ", Jr\" <a@example.com>,b@example.com", "GBK")->Encode(),
              "=?GBK?B?1cXI/SwgSnI=?= <a@example.com>,b@example.com");
    EXPECT_EQ(coders.Create("To", name + "@example.com, x <y@example.com>", "GBK")->Encode(),
              name + "@example.com, x <y@example.com>");
    EXPECT_EQ(coders.Create("Content-Type", "image/gif; name=\"a;" + name + ".gif\"", "GBK")->Encode(),
              "image/gif; name=\"=?GBK?B?YTvVxcj9LmdpZg==?=\"");
}
