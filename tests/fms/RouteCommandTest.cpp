// End to end through `halvex-fms route` on a copy of the bundled tree: save, list, load.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "support/RunTool.h"
#include "support/TempTree.h"

namespace {

using halvex::test::ToolRun;

ToolRun Route(const std::string& arguments) {
    return halvex::test::RunTool(std::string(HALVEX_FMS_EXE) + " route --root . " + arguments);
}

class RouteCommandTest : public ::testing::Test {
protected:
    void SetUp() override {
        tree.copyFromSource("data/FMCWP", "FMCWP");
        tree.copyFromSource("data/PMDG", "PMDG");
    }
    halvex::test::TempTree tree;
};

TEST_F(RouteCommandTest, SaveGeneratedAndNamedThenListAndLoad) {
    const ToolRun first = Route("save - \"org KSEA; dst KPDX; fpln 0 SEA; via V23 BTG; exec\"");
    ASSERT_EQ(first.status, 0) << first.out;
    EXPECT_NE(first.out.find("saved Gauges/HalvexFmsZolan/Route/KSEAKPDX1.xml"), std::string::npos) << first.out;
    EXPECT_EQ(Route("save \"\" \"org KSEA; dst KPDX\"").status, 0) << "a pending modification is executed and saved";
    EXPECT_EQ(Route("save COMPANY \"org KSEA; dst KBOI; fpln 0 SEA\"").status, 0);

    const ToolRun list = Route("list KSEAKPDX");
    EXPECT_EQ(list.out, "KSEAKPDX1\nKSEAKPDX2\n");
    EXPECT_EQ(Route("list").out, "COMPANY\nKSEAKPDX1\nKSEAKPDX2\n");

    const ToolRun load = Route("load KSEAKPDX1");
    ASSERT_EQ(load.status, 0) << load.out;
    EXPECT_NE(load.out.find("MOD LEGS (9)"), std::string::npos) << load.out;
    EXPECT_NE(load.out.find("BTG"), std::string::npos);
    EXPECT_NE(load.out.find("V23"), std::string::npos);
}

TEST_F(RouteCommandTest, FailuresExitNonZero) {
    EXPECT_NE(Route("load NOPE").status, 0);
    EXPECT_NE(Route("save ../OUT \"org KSEA; dst KPDX\"").status, 0);
    EXPECT_NE(Route("save - \"org KSEA\"").status, 0) << "no destination to name the file after";
    EXPECT_FALSE(std::filesystem::exists("Gauges/HalvexFmsZolan/OUT.xml"));
    EXPECT_EQ(Route("list").out, "");
}

}  // namespace
