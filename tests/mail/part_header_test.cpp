// Header fields, parameters, boundaries and media types of a part.
#include <gtest/gtest.h>

#include <regex>

#include "mail/mime/boundary.h"
#include "mail/mime/media_types.h"
#include "mail/mime/message_part.h"

namespace {

using namespace ziromail;

std::string Render(const PartHeader& part) {
    std::string out(part.GetLength(), '\0');
    long written = part.Store(out.data(), out.size());
    out.resize(written < 0 ? 0 : static_cast<std::size_t>(written));
    return out;
}

}  // namespace

TEST(PartHeader, FieldsKeepTheOrderOfTheirFirstSetting) {
    PartHeader header;
    header.SetFieldValue("Subject", "one");
    header.SetFieldValue("To", "a@example.com");
    header.SetFieldValue("subject", "two");
    ASSERT_EQ(header.Fields().size(), 2u);
    EXPECT_EQ(header.GetField("SUBJECT")->value, "two");
    EXPECT_EQ(Render(header), "subject: two\r\nTo: a@example.com\r\n\r\n");
    EXPECT_EQ(header.GetField("Cc"), nullptr);
}

TEST(PartHeader, LineBreaksInValuesCannotStartAHeaderLine) {
    PartHeader header;
    header.SetFieldValue("Subject", "hello\r\nBcc: victim@example.com\r\n.\r\n");
    header.SetParameter("Content-Type", "name", "a\r\nb.gif");
    EXPECT_EQ(Render(header),
              "Subject: hello  Bcc: victim@example.com  .  \r\nContent-Type: name=\"a  b.gif\"\r\n\r\n");
}

TEST(PartHeader, ParametersAreQuotedOnceAndReplacedInPlace) {
    PartHeader header;
    header.SetFieldValue("Content-Type", "image/gif");
    header.SetParameter("Content-Type", "name", "a.gif");
    EXPECT_EQ(header.GetField("Content-Type")->value, "image/gif; name=\"a.gif\"");
    header.SetParameter("Content-Type", "NAME", "\"b.gif\"");
    EXPECT_EQ(header.GetField("Content-Type")->value, "image/gif; name=\"b.gif\"");
    header.SetParameter("Content-Type", "other", "\"half");
    EXPECT_EQ(header.GetField("Content-Type")->value, "image/gif; name=\"b.gif\"; other=\"half\"");
    EXPECT_EQ(header.GetParameter("content-type", "Name"), "b.gif");
    EXPECT_EQ(header.GetParameter("Content-Type", "missing"), "");
}

TEST(PartHeader, ParameterScanningFollowsTokensAndQuotedStrings) {
    PartHeader header;
    header.SetFieldValue("Content-Type", "text/plain;  charset = gb2312 ; x-name=\"a;b=c\"; name=plain.txt");
    EXPECT_EQ(header.GetParameter("Content-Type", "charset"), "gb2312");
    EXPECT_EQ(header.GetParameter("Content-Type", "x-name"), "a;b=c");
    EXPECT_EQ(header.GetParameter("Content-Type", "b"), "");
    // A token ends at ".", so an unquoted name stops there.
    EXPECT_EQ(header.GetParameter("Content-Type", "name"), "plain");
    header.SetFieldValue("Content-Type", "image/gif; name=\xcd\xbc\xc6\xac.gif");  // "图片" in GBK
    EXPECT_EQ(header.GetParameter("Content-Type", "name"), "\xcd\xbc\xc6\xac");
    EXPECT_EQ(header.GetParameter("Content-Type", "nam"), "");
}

TEST(PartHeader, SetBoundaryMakesThePartMultipart) {
    PartHeader plain;
    plain.SetFieldValue("Content-Type", "text/html");
    plain.SetBoundary("b1");
    EXPECT_EQ(plain.GetField("Content-Type")->value, "multipart/mixed; boundary=\"b1\"");
    PartHeader related;
    related.SetFieldValue("Content-Type", "Multipart/Related");
    related.SetBoundary("b2");
    related.SetBoundary("b3");
    EXPECT_EQ(related.GetField("Content-Type")->value, "Multipart/Related; boundary=\"b3\"");
    EXPECT_EQ(related.GetBoundary(), "b3");
    PartHeader none;
    none.SetBoundary("b4");
    EXPECT_EQ(none.GetField("Content-Type")->value, "multipart/mixed; boundary=\"b4\"");
}

TEST(PartHeader, GeneratedBoundariesCountFromOneToNine) {
    std::regex form(R"(__=_Part_Boundary_00([1-9])_0[0-3]\d{4}\.0[0-3]\d{4})");
    int previous = -1;
    for (int i = 0; i < 20; ++i) {
        PartHeader part;
        part.SetBoundary();
        std::smatch match;
        std::string boundary = part.GetBoundary();
        ASSERT_TRUE(std::regex_match(boundary, match, form)) << boundary;
        int counter = std::stoi(match[1]);
        if (previous > 0) {
            EXPECT_EQ(counter, previous == 9 ? 1 : previous + 1);
        }
        previous = counter;
    }
}

TEST(PartHeader, TypeFromFileNameKeepsAnExistingType) {
    PartHeader part;
    part.SetTypeFromFileName("PHOTO.JPG");
    EXPECT_EQ(part.GetField("Content-Type")->value, "image/jpeg; name=\"PHOTO.JPG\"");
    EXPECT_EQ(part.GetName(), "PHOTO.JPG");
    part.SetTypeFromFileName("other.pdf");
    EXPECT_EQ(part.GetField("Content-Type")->value, "image/jpeg; name=\"other.pdf\"");
}

TEST(PartHeader, NonAsciiFileNamesAreEncodedInTheirQuotesOnceACharsetIsSet) {
    PartHeader part;
    part.SetTypeFromFileName("\xd5\xc5\xc8\xfd\xc0\xee\xcb\xc4.doc");  // "张三李四.doc" in GBK
    part.SetFieldCharset("Content-Type", "GBK");
    EXPECT_EQ(Render(part), "Content-Type: application/msword; name=\"=?GBK?B?1cXI/cDuy8QuZG9j?=\"\r\n\r\n");
    part.SetTypeFromFileName("plain.doc");
    EXPECT_EQ(Render(part), "Content-Type: application/msword; name=\"plain.doc\"\r\n\r\n");
}

TEST(MediaTypes, ExtensionTableAsShipped) {
    EXPECT_EQ(MediaTypeForFileName("PHOTO.JPG"), "image/jpeg");
    EXPECT_EQ(MediaTypeForFileName("a.png"), "application/octet-stream");
    EXPECT_EQ(MediaTypeForFileName("noextension"), "application/octet-stream");
    EXPECT_EQ(MediaTypeForFileName("clip.mpeg"), "vedio/mpeg");
    EXPECT_EQ(MediaTypeForFileName("clip.mpg"), "vedio/mpeg");
    EXPECT_EQ(MediaTypeForFileName("a.b.Xls"), "application/vnd.ms-excel");
    EXPECT_EQ(MediaTypeForFileName("song.mp3"), "audio/basic");
    EXPECT_EQ(MediaTypeForFileName("scan.tif"), "image/tiff");
    EXPECT_EQ(MediaTypeForFileName("letter.doc"), "application/msword");
    EXPECT_EQ(MediaTypeForFileName("deck.ppt"), "application/vnd.ms-powerpoint");
    EXPECT_EQ(MediaTypeForFileName("data.xml"), "application/xml");
    EXPECT_EQ(MediaTypeForFileName("picture.bmp"), "application/octet-stream");
    EXPECT_EQ(MediaTypeNames[3], "vedio");
}

TEST(MessagePart, ChildrenFollowTheHeaderDirectlyAndCloseTheirBoundary) {
    MessagePart root;
    root.SetFieldValue("Content-Type", "multipart/mixed");
    root.SetBoundary("outer");
    MessagePart& child = root.CreatePart();
    child.SetFieldValue("Content-Transfer-Encoding", "base64");
    child.SetText("Man");
    MessagePart& second = root.CreatePart();
    second.SetText("plain", 5);
    std::string text = Render(root);
    EXPECT_EQ(text,
              "Content-Type: multipart/mixed; boundary=\"outer\"\r\n"
              "\r\n--outer\r\n"
              "Content-Transfer-Encoding: base64\r\n\r\nTWFu\r\n"
              "\r\n--outer\r\n"
              "\r\nplain"
              "\r\n--outer--\r\n");
    EXPECT_EQ(text.size(), root.GetLength());  // counted by the same rendering

    // Content of its own before the children: the count may only exceed what is written.
    root.SetFieldValue("Content-Transfer-Encoding", "base64");
    root.SetText("preamble");
    text = Render(root);
    EXPECT_NE(text.find("cHJlYW1ibGU=\r\n--outer\r\n"), std::string::npos);
    EXPECT_LE(text.size(), root.GetLength());
}

TEST(MessagePart, ChildrenWithoutBoundaryCannotBeStored) {
    MessagePart root;
    root.CreatePart();
    char buffer[256];
    EXPECT_EQ(root.Store(buffer, sizeof buffer), -1);
}

TEST(MessagePart, StoreNeverPassesTheBufferItIsGiven) {
    MessagePart root;
    root.SetBoundary("b");
    root.CreatePart().SetText("some content");
    std::string full = Render(root);
    std::string small(20, '#');
    small += "guard";
    EXPECT_EQ(root.Store(small.data(), 20), 20);
    EXPECT_EQ(small.substr(0, 20), full.substr(0, 20));
    EXPECT_EQ(small.substr(20), "guard");
}
