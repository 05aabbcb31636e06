// The file assembler: sections, declarations, parts and the two fix-up passes.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "procedures/ProcedureListing.h"
#include "procedures/ProgramAssembler.h"

namespace halvex {
namespace {

// Section by section, group by group, the first op and the fix names of each line's chain:
// "SIDS|SID:S COMMON A B|SUB RNW:28L X A B".
std::string outline(const ProcNode* root) {
    std::string out;
    for (const ProcNode* section = root; section; section = section->next.get()) {
        if (!out.empty()) out += "\n";
        out += std::string(OpName(section->op)).substr(8);  // after "OP_DECL_"
        for (const ProcNode* group = section->body.get(); group; group = group->next.get()) {
            out += "|";
            std::string line;
            size_t steps = 0;  // shared continuations must never loop
            for (const ProcNode* n = group->body.get(); n && ++steps < 1000; n = n->Following()) {
                if (!line.empty()) line += " ";
                if (IsFixLegOp(n->op)) line += FixOpName(*n);
                else if (n->op == ProcOp::DefCommonProc) line += "COMMON";
                else if (n->op == ProcOp::DefSubProc) line += "SUB";
                else if (n->op == ProcOp::LoadRnw || n->op == ProcOp::DefRnw || IsDeclarationOp(n->op) || n->op == ProcOp::DefTrans)
                    line += std::string(OpName(n->op)).substr(3) + ":" + n->body->text;
                else line += OpName(n->op);
            }
            out += line;
        }
    }
    return out;
}

std::string assemble(const std::vector<std::string>& lines) {
    const auto root = AssembleProgram(lines);
    return outline(root.get());
}

TEST(AssembleProgram, SidRunwayLinesSplitAndJoinTheCommonPart) {
    EXPECT_EQ(assemble({"SIDS", "SID D1 FIX A FIX B", "RNW 28L RNW 28R FIX X FIX A", "RNW 01 FIX Y",
                        "TRANSITION T FIX B FIX C", "ENDSIDS"}),
              "SIDS|DECL_SID:D1 COMMON A B"
              "|SUB LOAD_RNW:28L X A B"  // junction fix A listed once
              "|SUB LOAD_RNW:28R X A B"
              "|SUB LOAD_RNW:01 Y A B"
              "|DEF_TRANS:T B C");
}

TEST(AssembleProgram, LegsEndingInARunwayJoinTheCommonPartOnce) {
    // The second runway's part ends in a runway leg that the first runway's join already led
    // into the common part; that link must not be taken for a runway without legs.
    EXPECT_EQ(assemble({"SIDS", "SID D1 RNW 25R", "RNW 07L RNW 26 FIX A RNW 07M"}),
              "SIDS|DECL_SID:D1 COMMON LOAD_RNW:25R"
              "|SUB LOAD_RNW:07L A LOAD_RNW:07M LOAD_RNW:25R"
              "|SUB LOAD_RNW:26 A LOAD_RNW:07M LOAD_RNW:25R");
}

TEST(AssembleProgram, JunctionNeedsEqualNames) {
    EXPECT_EQ(assemble({"SIDS", "SID D1 NAVAID A", "RNW 1 FIX A", "RNW 2 FIX AA", "RNW 3 HDG 100"}),
              "SIDS|DECL_SID:D1 COMMON A|SUB LOAD_RNW:1 A|SUB LOAD_RNW:2 AA A|SUB LOAD_RNW:3 OP_TRK A");
}

TEST(AssembleProgram, RunwayPartsShareLegsInsteadOfCopyingThem) {
    const auto root = AssembleProgram({"SIDS", "SID D1 FIX Z", "RNW 1 RNW 2 FIX A"});
    const ProcNode* first = root->body->next.get();
    const ProcNode* second = first->next.get();
    const ProcNode* legA1 = first->body->Following()->Following();
    const ProcNode* legA2 = second->body->Following()->Following();
    ASSERT_TRUE(legA1 && legA2);
    EXPECT_EQ(legA1, legA2);
    EXPECT_EQ(FixOpName(*legA1), "A");
    // Many runway lines join one common part of many legs: the tree grows by the lines only.
    std::string common = "SID BIG";
    for (int i = 0; i < 90; ++i) common += " FIX C" + std::to_string(i);
    std::vector<std::string> lines{"SIDS", common};
    for (int i = 0; i < 2000; ++i) lines.push_back("RNW 1");
    const uint64_t before = ProcNodesCreated();
    const auto big = AssembleProgram(lines);
    EXPECT_LT(ProcNodesCreated() - before, 20000u);  // 90 legs copied 2000 times would be 360000
}

TEST(AssembleProgram, ApproachesContinueOverLinesAndLoseTheMissedApproach) {
    EXPECT_EQ(assemble({"APPROACHES", "APPROACH I FIX A FIX B RNW 28L", "TRK 284 UNTIL 500 FIX M HOLD",
                        "TRANSITION T FIX C FIX A", "APPROACH J FIX D", "FIX EE RNW 10 FIX MISSED", "ENDAPPROACHES"}),
              "APPROACHES|DECL_APPROACH:I SUB A B LOAD_RNW:28L|DEF_TRANS:T C A"
              "|DECL_APPROACH:J SUB D EE LOAD_RNW:10");
    // A declaration written alone gets its runway part when legs follow on later lines.
    EXPECT_EQ(assemble({"APPROACHES", "APPROACH K", "FIX A RNW 01"}), "APPROACHES|DECL_APPROACH:K SUB A LOAD_RNW:01");
}

TEST(AssembleProgram, StarLinesBecomeCommonParts) {
    EXPECT_EQ(assemble({"STARS", "STAR B NAVAID X FIX Y", "FIX Z", "TRANSITION T FIX WW NAVAID X", "ENDSTARS"}),
              "STARS|DECL_STAR:B COMMON X Y|COMMON Z|DEF_TRANS:T WW X");
}

TEST(AssembleProgram, RunwaySectionsFixesAndStrayLines) {
    EXPECT_EQ(assemble({"SID BEFORE FIX A", "RNW 01", "TRANSITION EARLY FIX A", "FIXES", "FIX F LATLON N 1 2 W 3 4",
                        "ENDFIXES", "RNWS", "RNW 01", "RNW 19", "ENDRNWS"}),
              "FIXES|OP_DEF_FIX\nRNWS|DEF_RNW:01|DEF_RNW:19");
    // Statements after a section keyword on its line are the section's first line.
    EXPECT_EQ(assemble({"SIDS SID D1 FIX A", "RNW 1 FIX B"}), "SIDS|DECL_SID:D1 COMMON A|SUB LOAD_RNW:1 B A");
    EXPECT_EQ(assemble({"", "// nothing", "ENDSIDS"}), "");
}

TEST(AssembleProgram, DeclarationsGoToTheSectionOfTheirKind) {
    // A SID written among the STARS joins the SIDS, and its runway line takes the SID form.
    EXPECT_EQ(assemble({"SIDS", "SID D1 FIX A", "ENDSIDS", "STARS", "STAR S1 FIX B", "SID D2 FIX C", "RNW 1 FIX D",
                        "STAR S2 FIX EE", "ENDSTARS"}),
              "SIDS|DECL_SID:D1 COMMON A|DECL_SID:D2 COMMON C|SUB LOAD_RNW:1 D C\n"
              "STARS|DECL_STAR:S1 COMMON B|DECL_STAR:S2 COMMON EE");
    // Before any section of its kind a declaration stays where it is written.
    EXPECT_EQ(assemble({"FIXES", "SID X FIX A", "SIDS", "SID D1 FIX B"}),
              "FIXES|DECL_SID:X COMMON A\nSIDS|DECL_SID:D1 COMMON B");
}

TEST(AssembleProgram, ManyLinesMakeLongChainsNotDeepRecursion) {
    std::vector<std::string> lines{"APPROACHES", "APPROACH I FIX A"};
    for (int i = 0; i < 50000; ++i) lines.push_back("FIX B" + std::to_string(i));
    lines.push_back("RNW 01");
    const auto root = AssembleProgram(lines);
    size_t legs = 0;
    for (const ProcNode* n = root->body->body.get(); n; n = n->next.get()) ++legs;
    EXPECT_EQ(legs, 50004u);  // declaration, runway part, A, 50000 fixes, runway
    const std::string tree = ProgramTree(root.get());
    EXPECT_NE(tree.find("OP_DEF_SUB_PROC"), std::string::npos);
}

}  // namespace
}  // namespace halvex
