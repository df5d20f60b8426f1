// The manifest and the install script through the platform's XML parser: the
// same cases run against libxml2 natively and the COM DOMDocument under Wine.
#include <gtest/gtest.h>

#include "platform/xml_tree.h"
#include "update/update_documents.h"

namespace update {
namespace {

struct ManifestResult {
    bool ok;
    std::vector<UpdateEntry> entries;
    std::string group;
};

ManifestResult ReadManifest(const std::string& text) {
    Manifest manifest;
    manifest.entries.push_back({"stale", "", "", 1});
    const bool ok = ParseManifest(text, manifest);
    return {ok, manifest.entries, manifest.groupValue};
}

std::vector<FileAction> ReadScript(const std::string& text, bool expectOk) {
    std::vector<FileAction> actions{{"stale", ActionKind::Other, ""}};
    const auto document = platform::ParseXmlDocument(text);
    EXPECT_EQ(document && ReadScriptTree(*document, actions), expectOk) << text;
    return actions;
}

TEST(UpdateManifest, EntriesInDocumentOrderWithTheirFields) {
    const ManifestResult r = ReadManifest(
        "<?xml version=\"1.0\" encoding=\"GB2312\"?>\n<updates>\n  <group name=\"ziro\" other=\"x\">\n"
        "    <entry><url> pkgs/one.zip </url><version>3.0.0.6</version><description>5Y2H\n57qn</description>"
        "<restart-os>0</restart-os></entry>\n"
        "    <entry/>\n"
        "    <entry><version>3.0.<![CDATA[0]]>.7</version><restart-os><any>thing</any></restart-os></entry>\n"
        "  </group>\n  <ignored/>\n</updates>");
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.group, "ziro");
    ASSERT_EQ(r.entries.size(), 3u);
    EXPECT_EQ(r.entries[0].version, "3.0.0.6");
    EXPECT_EQ(r.entries[0].url, "pkgs/one.zip");
    EXPECT_EQ(r.entries[0].description, "5Y2H\n57qn");
    EXPECT_EQ(r.entries[0].closeClient, 1);
    EXPECT_EQ(r.entries[1].version, "");
    EXPECT_EQ(r.entries[1].url, "");
    EXPECT_EQ(r.entries[2].version, "3.0.0.7");
}

TEST(UpdateManifest, GbkAndUtf8TextAreReadAsGbk) {
    const ManifestResult r = ReadManifest("<?xml version=\"1.0\" encoding=\"UTF-8\"?><u><g n=\"升级组\"><e><url>数据/包.zip</url></e></g></u>");
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.group, "升级组");
    EXPECT_EQ(r.entries[0].url, "数据/包.zip");
}

TEST(UpdateManifest, RejectedDocuments) {
    const char* rejected[] = {
        "",
        "not xml",
        "<u><g a=\"1\"><e><version>1</version></e></g>",                 // not closed
        "<u/>",                                                          // no group
        "<u><g a=\"1\"/></u>",                                            // a group without entries
        "<u><g><e/></g></u>",                                             // a group without attributes
        "<u><!--c--><g a=\"1\"><e/></g></u>",                            // the first child is no element
        "<u><g a=\"1\"><e><version>1</version><size>2</size></e></g></u>",  // unknown element
        "<u><g a=\"1\"><e><version>1</version><!-- note --></e></g></u>",   // a comment
        "<u><g a=\"1\"><e>text<version>1</version></e></g></u>",          // text beside the fields
    };
    for (const char* text : rejected) EXPECT_FALSE(ReadManifest(text).ok) << text;
}

TEST(UpdateManifest, EntriesBeforeARejectedOneStay) {
    const ManifestResult r =
        ReadManifest("<u><g a=\"1\"><e><version>1.0.0.1</version></e><e><bad/></e><e><version>3</version></e></g></u>");
    EXPECT_FALSE(r.ok);
    ASSERT_EQ(r.entries.size(), 1u);
    EXPECT_EQ(r.entries[0].version, "1.0.0.1");
}

TEST(UpdateManifest, DeepOrHugeDocumentsFailWithoutHarm) {
    std::string deep;
    for (int i = 0; i < 5000; ++i) deep += "<a>";
    for (int i = 0; i < 5000; ++i) deep += "</a>";
    EXPECT_FALSE(ReadManifest(deep).ok);
    std::string many = "<u><g a=\"1\">";
    for (int i = 0; i < 20000; ++i) many += "<e><version>1." + std::to_string(i) + "</version></e>";
    const ManifestResult r = ReadManifest(many + "</g></u>");
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.entries.size(), 20000u);
}

TEST(UpdateScript, ItemsOfTheFourthChildWithTheRecordReused) {
    const auto actions = ReadScript(
        "<update><a/><b>x</b><c/><files>"
        "<item name=\"a.txt\"><action>copy</action><additional>1</additional></item>"
        "<item name=\"b.txt\"><additional>2</additional></item>"
        "<item name=\"c.txt\"/>"
        "<item name=\"数据\\说明.txt\"><action> remove </action></item>"
        "</files><later><item/></later></update>",
        true);
    ASSERT_EQ(actions.size(), 4u);
    EXPECT_EQ(actions[0].name, "a.txt");
    EXPECT_EQ(actions[1].action, ActionKind::Copy);  // the item before's action
    EXPECT_EQ(actions[1].additional, "2");
    EXPECT_EQ(actions[2].action, ActionKind::Copy);
    EXPECT_EQ(actions[2].additional, "2");
    EXPECT_EQ(actions[3].name, "数据\\说明.txt");
    EXPECT_EQ(actions[3].action, ActionKind::Remove);
}

TEST(UpdateScript, RejectedScripts) {
    for (const char* text : {
             "<update><a/><b/><c/></update>",                                              // no fourth child
             "<update><a/><b/><c/><files/></update>",                                      // no items
             "<update><a/><b/><c/><files><item><action>copy</action></item></files></update>",  // no name
             "<update><a/><b/><c/><files><!--x--></files></update>",                        // not an element
             "<update><a/><b/><c/><files><item name=\"a\"><action>copy</action><size/></item></files></update>",
         })
        ReadScript(text, false);
    const auto partly = ReadScript(
        "<u><a/><b/><c/><f><i name=\"1\"><action>copy</action></i><i name=\"2\"><x/></i></f></u>", false);
    ASSERT_EQ(partly.size(), 1u);
    EXPECT_EQ(partly[0].name, "1");
}

}  // namespace
}  // namespace update
