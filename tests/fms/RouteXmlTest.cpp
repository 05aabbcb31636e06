#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include <sys/resource.h>
#include <unistd.h>

#include "fms/RouteXml.h"
#include "support/TempTree.h"

namespace halvex {

namespace {

std::string slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

XmlDocumentRecord sampleRoute() {
    XmlDocumentRecord doc{"FMS_COROUTE", {}};
    doc.children.push_back({"ORIGIN", {{"ID", "KSEA"}}});
    doc.children.push_back({"DESTINATION", {{"ID", "KPDX"}}});
    doc.children.push_back({"WP", {{"INDEX", "0"}, {"ID", "SEA"}, {"RTE", "J5"}, {"LAT", "0.8265"}, {"LNG", "-2.1343"},
                                   {"ALT", "-1"}, {"TYPE", "13"}, {"VFLAG", "3"}}});
    return doc;
}

}  // namespace

TEST(RouteXml, RoundTripKeepsElementsAndAttributes) {
    test::TempTree tree;
    ASSERT_TRUE(WriteXmlDocument("r.xml", sampleRoute()));
    const std::string text = slurp("r.xml");
    EXPECT_EQ(text.rfind("<?xml", 0), 0u) << "no byte-order mark, declaration first";
    EXPECT_NE(text.find("UTF-8"), std::string::npos);
    EXPECT_NE(text.find("\n  <WP"), std::string::npos) << "pretty printed";
    const auto back = ReadXmlDocument("r.xml");
    ASSERT_TRUE(back);
    EXPECT_EQ(back->root, "FMS_COROUTE");
    ASSERT_EQ(back->children.size(), 3u);
    EXPECT_EQ(back->children[0].attributes[0], (std::pair<std::string, std::string>{"ID", "KSEA"}));
    const auto& wp = back->children[2].attributes;
    // The DOM keeps attributes ordered by name, both when it parses and when it serialises.
    const std::vector<std::pair<std::string, std::string>> expected = {
        {"ALT", "-1"}, {"ID", "SEA"}, {"INDEX", "0"}, {"LAT", "0.8265"}, {"LNG", "-2.1343"}, {"RTE", "J5"},
        {"TYPE", "13"}, {"VFLAG", "3"}};
    EXPECT_EQ(wp, expected);
    EXPECT_FALSE(std::filesystem::exists("r.xml.tmp" + std::to_string(::getpid())));
}

TEST(RouteXml, MalformedFilesAreRefusedNotCrashed) {
    test::TempTree tree;
    tree.write("empty.xml", "");
    tree.write("text.xml", "not xml at all");
    tree.write("cut.xml", "<FMS_COROUTE><ORIGIN ID=\"KSEA\"/><WP ");
    tree.write("binary.xml", std::string("\x00\xff\xfe<\x01", 5));
    for (const char* f : {"missing.xml", "empty.xml", "text.xml", "cut.xml", "binary.xml"})
        EXPECT_FALSE(ReadXmlDocument(f)) << f;
    std::filesystem::create_directory("dir.xml");
    EXPECT_FALSE(ReadXmlDocument("dir.xml"));
}

TEST(RouteXml, NoDoctypeEntitiesOrExternalFilesAreLoaded) {
    test::TempTree tree;
    tree.write("secret.txt", "TOP SECRET");
    tree.write("external.xml", "<?xml version=\"1.0\"?><!DOCTYPE r [<!ENTITY x SYSTEM \"secret.txt\">]>"
                               "<FMS_COROUTE><ORIGIN ID=\"&x;\"/></FMS_COROUTE>");
    tree.write("laughs.xml", "<?xml version=\"1.0\"?><!DOCTYPE r [<!ENTITY a \"aaaaaaaaaa\">"
                             "<!ENTITY b \"&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;\"><!ENTITY c \"&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;\">"
                             "<!ENTITY d \"&c;&c;&c;&c;&c;&c;&c;&c;&c;&c;\"><!ENTITY e \"&d;&d;&d;&d;&d;&d;&d;&d;&d;&d;\">]>"
                             "<FMS_COROUTE><ORIGIN ID=\"&e;&e;&e;&e;&e;&e;\"/></FMS_COROUTE>");
    tree.write("dtd.xml", "<?xml version=\"1.0\"?><!DOCTYPE FMS_COROUTE SYSTEM \"http://127.0.0.1:9/x.dtd\">"
                          "<FMS_COROUTE/>");
    for (const char* f : {"external.xml", "laughs.xml", "dtd.xml"}) {
        const auto doc = ReadXmlDocument(f);
        if (doc) {  // if accepted at all, nothing from outside made it in
            for (const auto& c : doc->children)
                for (const auto& a : c.attributes) EXPECT_EQ(a.second.find("SECRET"), std::string::npos);
        }
    }
}

TEST(RouteXml, AbsurdDepthAndSizeAreRefused) {
    test::TempTree tree;
    std::string deep = "<FMS_COROUTE>";
    for (int i = 0; i < 5000; ++i) deep += "<a>";
    for (int i = 0; i < 5000; ++i) deep += "</a>";
    deep += "</FMS_COROUTE>";
    tree.write("deep.xml", deep);
    EXPECT_FALSE(ReadXmlDocument("deep.xml"));
    tree.write("huge.xml", "<FMS_COROUTE>" + std::string(static_cast<size_t>(kMaxRouteFileBytes), ' ') + "</FMS_COROUTE>");
    EXPECT_FALSE(ReadXmlDocument("huge.xml"));
}

std::string nested(int elements) {
    std::string text = "<FMS_COROUTE>";
    for (int i = 1; i < elements; ++i) text += "<a>";
    for (int i = 1; i < elements; ++i) text += "</a>";
    return text + "</FMS_COROUTE>";
}

std::string waypointWithAttributes(int count) {
    std::string text = "<FMS_COROUTE><WP";
    for (int i = 0; i < count; ++i) text += " A" + std::to_string(i) + "='" + std::to_string(i) + "'";
    return text + "/></FMS_COROUTE>";
}

long peakResidentKb() {
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

TEST(RouteXml, DepthAndAttributeLimitsHoldExactly) {
    test::TempTree tree;
    tree.write("deep64.xml", nested(kMaxRouteDepth));
    tree.write("deep65.xml", nested(kMaxRouteDepth + 1));
    tree.write("attrs64.xml", waypointWithAttributes(kMaxRouteAttributes));
    tree.write("attrs65.xml", waypointWithAttributes(kMaxRouteAttributes + 1));
    EXPECT_TRUE(ReadXmlDocument("deep64.xml"));
    EXPECT_FALSE(ReadXmlDocument("deep65.xml"));
    const auto wide = ReadXmlDocument("attrs64.xml");
    ASSERT_TRUE(wide);
    EXPECT_EQ(wide->children.at(0).attributes.size(), static_cast<size_t>(kMaxRouteAttributes));
    EXPECT_FALSE(ReadXmlDocument("attrs65.xml"));
}

// Markup-like text in comments, CDATA, instructions and quoted values is not counted as markup.
TEST(RouteXml, TextThatLooksLikeMarkupCountsForNothing) {
    test::TempTree tree;
    std::string crowd;
    for (int i = 0; i < 100; ++i) crowd += "<x a=1 b=2>";
    tree.write("r.xml", "<?xml version=\"1.0\"?><?note " + crowd + "?><!-- " + crowd + " -->"
                        "<FMS_COROUTE><ORIGIN ID=\"K>=SEA\" NOTE='say \"a=b\" >x' />"
                        "<WP ID=\"SEA\"><![CDATA[" + crowd + "]]></WP><DESTINATION ID=\"KPDX\"></DESTINATION></FMS_COROUTE>");
    const auto doc = ReadXmlDocument("r.xml");
    ASSERT_TRUE(doc);
    ASSERT_EQ(doc->children.size(), 3u);
    EXPECT_EQ(doc->children[0].attributes[0], (std::pair<std::string, std::string>{"ID", "K>=SEA"}));
    EXPECT_EQ(doc->children[2].name, "DESTINATION");
}

// A million nested elements (7 MB, under the size limit) are refused before a document is built.
TEST(RouteXml, AMillionNestedElementsAreRefusedWithoutBuildingThem) {
    test::TempTree tree;
    tree.write("million.xml", nested(1000000));
    const long before = peakResidentKb();
    EXPECT_FALSE(ReadXmlDocument("million.xml"));
    EXPECT_LT(peakResidentKb() - before, 64 * 1024);  // the file's text, not a tree of a million nodes
}

TEST(RouteXml, TenThousandWaypointsRoundTrip) {
    test::TempTree tree;
    XmlDocumentRecord doc{"FMS_COROUTE", {}};
    for (int i = 0; i < 10000; ++i) doc.children.push_back({"WP", {{"INDEX", std::to_string(i)}}});
    ASSERT_TRUE(WriteXmlDocument("big.xml", doc));
    const auto back = ReadXmlDocument("big.xml");
    ASSERT_TRUE(back);
    EXPECT_EQ(back->children.size(), 10000u);
    EXPECT_EQ(back->children.back().attributes[0].second, "9999");
}

TEST(RouteXml, AFailedSaveKeepsThePreviousFile) {
    if (::geteuid() == 0) GTEST_SKIP() << "root ignores folder permissions";
    test::TempTree tree;
    std::filesystem::create_directory("ro");
    ASSERT_TRUE(WriteXmlDocument("ro/r.xml", sampleRoute()));
    const std::string before = slurp("ro/r.xml");
    std::filesystem::permissions("ro", std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
    XmlDocumentRecord other{"FMS_COROUTE", {{"ORIGIN", {{"ID", "KLAX"}}}}};
    EXPECT_FALSE(WriteXmlDocument("ro/r.xml", other));
    EXPECT_EQ(slurp("ro/r.xml"), before);
    std::filesystem::permissions("ro", std::filesystem::perms::owner_all);
}

TEST(RouteXml, AWriteThatCannotCompleteLeavesTheOldFileWhole) {
    test::TempTree tree;
    ASSERT_TRUE(WriteXmlDocument("r.xml", sampleRoute()));
    const std::string before = slurp("r.xml");
    // Block the temporary file's name so the write fails part way.
    std::filesystem::create_directory("r.xml.tmp" + std::to_string(::getpid()));
    XmlDocumentRecord other{"FMS_COROUTE", {{"ORIGIN", {{"ID", "KLAX"}}}}};
    EXPECT_FALSE(WriteXmlDocument("r.xml", other));
    EXPECT_EQ(slurp("r.xml"), before);
}

TEST(RouteXml, ASaveIntoAMissingFolderFailsCleanly) {
    test::TempTree tree;
    EXPECT_FALSE(WriteXmlDocument("no/such/folder/r.xml", sampleRoute()));
    EXPECT_FALSE(std::filesystem::exists("no"));
}

}  // namespace halvex
