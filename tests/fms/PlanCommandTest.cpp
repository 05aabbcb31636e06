// End to end through `halvex-fms plan` on the bundled data: what a user sees of the edits.
#include <gtest/gtest.h>

#include <fstream>
#include <regex>
#include <sstream>
#include <string>

#include "support/RunTool.h"

namespace {

using halvex::test::ToolRun;

ToolRun Plan(const std::string& arguments) {
    return halvex::test::RunTool(std::string(HALVEX_FMS_EXE) + " plan " + arguments);
}

// The lines of one printed view, from its header to the next header.
std::string Section(const std::string& out, const std::string& header) {
    const size_t start = out.find(header);
    if (start == std::string::npos) return "";
    const size_t body = out.find('\n', start) + 1;
    size_t end = body;
    while (end < out.size() && out[end] == ' ') end = out.find('\n', end) + 1;
    return out.substr(body, end - body);
}

std::vector<std::string> Names(const std::string& section) {
    std::vector<std::string> names;
    static const std::regex line(R"(^\s+\d+\s+(\S+))");
    std::istringstream in(section);
    for (std::string l; std::getline(in, l);)
        if (std::smatch m; std::regex_search(l, m, line)) names.push_back(m[1]);
    return names;
}

using NameList = std::vector<std::string>;

TEST(PlanCommand, BuildsARouteWithAnAirwayAndExecutesIt) {
    const ToolRun r = Plan("\"org KSEA; dst KSFO; orgrwy 16L; dstrwy 28L; fpln 0 SEA; via J5 LKV; alt 3 FL330; alt 3 24000; exec\"");
    ASSERT_EQ(r.status, 0) << r.out;
    EXPECT_NE(r.out.find("> via J5 LKV  ok"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("> alt 3 FL330  FAILED"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("modifying: no"), std::string::npos);
    EXPECT_EQ(Names(Section(r.out, "ACT LEGS")),
              (NameList{"KSEA", "RWY16L", "SEA", "TAOMA", "SUMMA", "POWEL", "LKV", "RWY28L", "KSFO"}));
    EXPECT_EQ(Names(Section(r.out, "ACT FPLN")), (NameList{"SEA", "LKV"}));
    EXPECT_EQ(Section(r.out, "MOD LEGS"), "");
    // Airway legs show their airway, the constraint its value.
    EXPECT_TRUE(std::regex_search(Section(r.out, "ACT LEGS"), std::regex(R"(TAOMA\s+\d{3}\s+[\d.]+\s+24000\s+J5)"))) << r.out;
}

TEST(PlanCommand, AllListsTheHiddenSubdivisionPointsThatNoViewShows) {
    const ToolRun r = Plan("--all \"org KSEA; dst KSFO; fpln 0 LKV\"");
    ASSERT_EQ(r.status, 0) << r.out;
    const std::string all = Section(r.out, "MOD ALL");
    EXPECT_NE(all.find("(hidden)"), std::string::npos) << r.out;
    EXPECT_EQ(Names(Section(r.out, "MOD LEGS")), (NameList{"KSEA", "LKV", "KSFO"}));
    EXPECT_EQ(Section(r.out, "MOD LEGS").find("hidden"), std::string::npos);
}

TEST(PlanCommand, CancelLeavesTheActivePlanAsItWas) {
    const ToolRun r = Plan("\"org KSEA; dst KPDX; exec; wp 1 BTG; del 2; cancel\"");
    ASSERT_EQ(r.status, 0) << r.out;
    EXPECT_NE(r.out.find("modifying: no"), std::string::npos);
    EXPECT_EQ(Names(Section(r.out, "ACT LEGS")), (NameList{"KSEA", "KPDX"}));
    EXPECT_EQ(Section(r.out, "MOD LEGS"), "");
}

TEST(PlanCommand, EditsWithBadPositionsFailAndChangeNothing) {
    const ToolRun r = Plan("\"org KSEA; dst KPDX; exec; direct 0; del 7; delr 0 9; fdel 0; wp -1 SEA; wp 1 NOSUCH; orgrwy 99X\"");
    ASSERT_EQ(r.status, 0) << r.out;
    for (const char* edit : {"direct 0", "del 7", "delr 0 9", "fdel 0", "wp -1 SEA", "wp 1 NOSUCH", "orgrwy 99X"})
        EXPECT_NE(r.out.find(std::string("> ") + edit + "  FAILED"), std::string::npos) << edit << "\n" << r.out;
    EXPECT_NE(r.out.find("modifying: no"), std::string::npos) << r.out;
    EXPECT_EQ(Section(r.out, "MOD LEGS"), "");
}

// A refused procedure says what the pilot would need: the selection it waits for, or the names
// that can be chosen; a STAR is taken once an approach is in place.
TEST(PlanCommand, RefusedProceduresSayWhatIsMissingOrWhatCanBeChosen) {
    const ToolRun r = Plan("\"org KSEA; dst KPDX; star HHOOD3; dstrwy 28R; app ILS28R; star HHOOD9; star HHOOD3; "
                           "startrs 7; sidtrs X; orgrwy 16L; sid FOO\"");
    ASSERT_EQ(r.status, 0) << r.out;
    for (const char* line : {"> star HHOOD3  FAILED: select an approach first\n",
                             "> star HHOOD9  FAILED: choose from HHOOD3 KRATR2 WHAMY4\n", "> star HHOOD3  ok\n",
                             "> startrs 7  FAILED: choose from LTJ PDT DSD\n",
                             "> sidtrs X  FAILED: select the origin runway first\n"})
        EXPECT_NE(r.out.find(line), std::string::npos) << line << r.out;
    EXPECT_NE(r.out.find("> sid FOO  FAILED: choose from HAROB4 BANGR4 SUMMA2 SEA7\n"), std::string::npos) << r.out;
}

TEST(PlanCommand, DirectToAndCommandsFromAFile) {
    const std::string file = testing::TempDir() + "plan-commands.txt";
    std::ofstream(file) << "org KSEA\ndst KPDX\nwp 1 OLM; wp 2 BTG\npos 47.3 -122.4 9000\ndirect 2\n";
    const ToolRun r = Plan("--file " + file + " \"crz 31000\"");
    ASSERT_EQ(r.status, 0) << r.out;
    EXPECT_EQ(Names(Section(r.out, "MOD LEGS")), (NameList{"(DC)", "BTG", "KPDX"}));
    EXPECT_TRUE(std::regex_search(Section(r.out, "MOD LEGS"), std::regex(R"(\(DC\)\s+\d{3}\s+[\d.]+\s+9000\s)"))) << r.out;
    EXPECT_NE(r.out.find("cruise 31000 ft"), std::string::npos);
}

TEST(PlanCommand, UnknownCommandsAndBadNumbersAreErrors) {
    EXPECT_NE(Plan("\"org KSEA; frob\"").status, 0);
    EXPECT_NE(Plan("\"del x\"").status, 0);
    EXPECT_NE(Plan("\"wp 1\"").status, 0);
    EXPECT_NE(Plan("--file /nonexistent/commands").status, 0);
}

}  // namespace
