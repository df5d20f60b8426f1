// The byte search for local pictures in the HTML body.
#include <gtest/gtest.h>

#include "mail/html/inline_images.h"

namespace {

struct Scan {
    std::string html;
    std::vector<std::string> paths;
    std::vector<std::string> ids;
    int added;
};

Scan ScanHtml(std::string html) {
    Scan scan{std::move(html), {}, {}, 0};
    std::vector<ziromail::InlineImage> images;
    scan.added = ziromail::ScanInlineImages(scan.html, images);
    for (const auto& image : images) {
        scan.paths.push_back(image.path);
        scan.ids.push_back(image.contentId);
    }
    return scan;
}

}  // namespace

TEST(ScanInlineImages, LocalSourceBecomesCidOfItsFileName) {
    Scan scan = ScanHtml(R"(<p><IMG alt="x" src="C:\pics\a.gif" width=3></p>)");
    EXPECT_EQ(scan.added, 1);
    EXPECT_EQ(scan.paths, std::vector<std::string>{R"(C:\pics\a.gif)"});
    EXPECT_EQ(scan.html, R"(<p><IMG alt="x" src="cid:a.gif" width=3></p>)");
}

TEST(ScanInlineImages, LowerCaseTagsAndOtherQuotingAreNotTouched) {
    for (const char* html : {R"(<img src="C:\a.gif">)", R"(<IMG src='C:\a.gif'>)", R"(<IMG src = "C:\a.gif">)"}) {
        Scan scan = ScanHtml(html);
        EXPECT_EQ(scan.added, 0) << html;
        EXPECT_EQ(scan.html, html);
    }
}

TEST(ScanInlineImages, WebSourcesStayButCapitalHttpIsLocal) {
    Scan scan = ScanHtml(R"(<IMG src="http://x/a.gif"><IMG src="https://x/b.gif"><IMG src="HTTP\c.gif">)");
    EXPECT_EQ(scan.paths, std::vector<std::string>{R"(HTTP\c.gif)"});
    EXPECT_EQ(scan.html, R"(<IMG src="http://x/a.gif"><IMG src="https://x/b.gif"><IMG src="cid:c.gif">)");
}

TEST(ScanInlineImages, RepeatedPathIsListedOnceAndRewrittenEverywhere) {
    Scan scan = ScanHtml(R"(<IMG src="C:\p\a.gif"><IMG src="C:\p\b.jpg"><IMG src="C:\p\a.gif">)");
    EXPECT_EQ(scan.added, 2);
    EXPECT_EQ(scan.paths, (std::vector<std::string>{R"(C:\p\a.gif)", R"(C:\p\b.jpg)"}));
    EXPECT_EQ(scan.html, R"(<IMG src="cid:a.gif"><IMG src="cid:b.jpg"><IMG src="cid:a.gif">)");
}

TEST(ScanInlineImages, SameFileNameFromTwoFoldersGetsTwoIds) {
    Scan scan = ScanHtml(R"(<IMG src="C:\a\x.jpg"><IMG src="C:\b\x.jpg"><IMG src="C:\a\x.jpg">)");
    EXPECT_EQ(scan.paths, (std::vector<std::string>{R"(C:\a\x.jpg)", R"(C:\b\x.jpg)"}));
    EXPECT_EQ(scan.ids, (std::vector<std::string>{"x.jpg", "x-2.jpg"}));
    EXPECT_EQ(scan.html, R"(<IMG src="cid:x.jpg"><IMG src="cid:x-2.jpg"><IMG src="cid:x.jpg">)");
}

TEST(ScanInlineImages, IdsStayDistinctWhenAFileIsNamedLikeAnotherPicturesId) {
    Scan scan = ScanHtml(R"(<IMG src="a\x.jpg"><IMG src="b\x.jpg"><IMG src="c\x-2.jpg"><IMG src="d\x.jpg">)"
                         R"(<IMG src="e\logo"><IMG src="f\logo"><IMG src="g\.gif"><IMG src="h\.gif">)");
    EXPECT_EQ(scan.ids, (std::vector<std::string>{"x.jpg", "x-2.jpg", "x-2-2.jpg", "x-3.jpg", "logo", "logo-2",
                                                  ".gif", ".gif-2"}));
}

TEST(ScanInlineImages, TagWithoutSourceTakesTheNextSourceFurtherOn) {
    Scan scan = ScanHtml(R"(<IMG alt="none"><a href="x"></a><script src="lib.js"></script>)");
    EXPECT_EQ(scan.paths, std::vector<std::string>{"lib.js"});
    EXPECT_EQ(scan.html, R"(<IMG alt="none"><a href="x"></a><script src="cid:lib.js"></script>)");
}

TEST(ScanInlineImages, EmptyAndUnterminatedSourcesAndNameWithoutFolder) {
    EXPECT_EQ(ScanHtml(R"(<IMG src=""><IMG src="">)").added, 0);
    Scan open = ScanHtml(R"(<IMG src="pic.gif)");
    EXPECT_EQ(open.paths, std::vector<std::string>{"pic.gif"});
    EXPECT_EQ(open.html, R"(<IMG src="cid:pic.gif)");
    EXPECT_EQ(ScanHtml("<IMG src=\"/home/me/pics/p.gif\">").html, "<IMG src=\"cid:p.gif\">");
}
