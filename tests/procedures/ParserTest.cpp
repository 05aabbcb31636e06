// The statement parser and the program tree it builds.
#include <gtest/gtest.h>

#include <string>

#include "procedures/ProcNode.h"
#include "procedures/ProcOp.h"
#include "procedures/ProcedureLexer.h"
#include "procedures/ProcedureListing.h"
#include "procedures/StatementParser.h"

namespace halvex {
namespace {

std::unique_ptr<ProcNode> parse(const std::string& line) { return ParseStatement(TokenizeLine(line)); }

// The tree as the --program option prints it, on one line: "A{B C} D".
std::string shape(const ProcNode* chain) {
    std::string out;
    for (const ProcNode* n = chain; n; n = n->next.get()) {
        if (!out.empty()) out += " ";
        switch (n->kind) {
        case ProcNodeKind::Op: out += OpName(n->op); break;
        case ProcNodeKind::Group: out += "G"; break;
        case ProcNodeKind::Number: out += ListingAltitude(n->number); break;
        case ProcNodeKind::Text: out += "'" + n->text + "'"; break;
        default: out += "?";
        }
        if (n->body) out += "{" + shape(n->body.get()) + "}";
    }
    return out;
}

std::string shapeOf(const std::string& line) {
    const auto chain = parse(line);
    return shape(chain.get());
}

TEST(OpNames, EveryCodeHasItsName) {
    EXPECT_EQ(OpName(ProcOp::Begin), "OP_BEGIN");
    EXPECT_EQ(OpName(ProcOp::DeclFixes), "OP_DECL_FIXES");
    EXPECT_EQ(OpName(ProcOp::EndApproaches), "OP_END_APPROACHES");
    EXPECT_EQ(OpName(ProcOp::DefSubProc), "OP_DEF_SUB_PROC");
    EXPECT_EQ(OpName(ProcOp::LoadNavaid), "OP_LOAD_NAVAID");
    EXPECT_EQ(OpName(ProcOp::IntcRadialFrom), "OP_INTC_RADIAL_FROM");
    EXPECT_EQ(OpName(ProcOp::SuffixAtOrAbove), "SUFFIX_AT_OR_ABOVE");
    EXPECT_EQ(OpName(ProcOp::SuffixUntilRadial), "SUFFIX_UNTIL_RADIAL");
    EXPECT_EQ(OpName(ProcOp::End), "OP_END");
    EXPECT_EQ(static_cast<int>(ProcOp::SuffixLatlon), 33);
    EXPECT_EQ(OpName(static_cast<ProcOp>(37)), "");
}

TEST(ParseStatement, SectionsDeclarationsAndWrappers) {
    EXPECT_EQ(shapeOf("FIXES"), "OP_DECL_FIXES");
    EXPECT_EQ(shapeOf("APPROACHES"), "OP_DECL_APPROACHES");
    EXPECT_EQ(shapeOf("NEWLINE__"), "OP_NEWLINE");
    EXPECT_EQ(shapeOf("ENDSIDS ENDFIXES"), "");
    EXPECT_EQ(shapeOf("SID PORTE3"), "OP_DECL_SID{'PORTE3'}");
    EXPECT_EQ(shapeOf("SID PORTE3 FIX PORTE"), "OP_DECL_SID{'PORTE3'} OP_DEF_COMMON_PROC OP_LOAD_FIX{'PORTE'}");
    EXPECT_EQ(shapeOf("STAR B FIX X"), "OP_DECL_STAR{'B'} OP_DEF_COMMON_PROC OP_LOAD_FIX{'X'}");
    EXPECT_EQ(shapeOf("APPROACH I FIX X RNW 28L"),
              "OP_DECL_APPROACH{'I'} OP_DEF_SUB_PROC OP_LOAD_FIX{'X'} OP_LOAD_RNW{'28L'}");
    EXPECT_EQ(shapeOf("TRANSITION T NAVAID A"), "OP_DEF_TRANS{'T'} OP_LOAD_NAVAID{'A'}");
    EXPECT_EQ(shapeOf("junk 12 RNW 01R"), "OP_LOAD_RNW{'01R'}");  // words at statement level are skipped
}

TEST(ParseStatement, FixSuffixes) {
    EXPECT_EQ(shapeOf("FIX ABC AT OR ABOVE 4000"), "OP_LOAD_FIX{G{'ABC' SUFFIX_AT_OR_ABOVE{4000}}}");
    EXPECT_EQ(shapeOf("FIX ABC AT OR BELOW 4000"), "OP_LOAD_FIX{G{'ABC' SUFFIX_AT_OR_BELOW{4000}}}");
    EXPECT_EQ(shapeOf("FIX ABC AT OR XYZ 4000"), "OP_LOAD_FIX{G{'ABC' SUFFIX_AT_OR_ABOVE{4000}}}");
    EXPECT_EQ(shapeOf("FIX ABC AT 5000"), "OP_LOAD_FIX{G{'ABC' SUFFIX_AT{5000}}}");
    EXPECT_EQ(shapeOf("FIX ABC 4000"), "OP_LOAD_FIX{G{'ABC' SUFFIX_AT{4000}}}");
    EXPECT_EQ(shapeOf("NAVAID OVERFLY SFO 3000.5"), "OP_LOAD_NAVAID{G{'SFO' SUFFIX_AT{3000.50}}}");
    EXPECT_EQ(shapeOf("FIX A SPEED 250 FIX B"), "OP_LOAD_FIX{'A'} OP_LOAD_FIX{'B'}");
    EXPECT_EQ(shapeOf("FIX A HOLD AT A LEFT 1 FIX B"), "OP_LOAD_FIX{'A'} OP_HOLD");
    EXPECT_EQ(shapeOf("FIX A zz"), "OP_LOAD_FIX{G{'A' SUFFIX_AT{0}}}");  // malformed numbers read as 0
}

TEST(ParseStatement, LocalFixDefinitions) {
    const auto latlon = parse("FIX ABC LATLON N 40 30 W 073 15");
    ASSERT_TRUE(latlon);
    EXPECT_EQ(OpName(latlon->op), "OP_DEF_FIX");
    const ProcNode& suffix = *latlon->body->body->next;
    EXPECT_EQ(suffix.op, ProcOp::SuffixLatlon);
    EXPECT_FLOAT_EQ(suffix.body->number, 40.5f);
    EXPECT_FLOAT_EQ(suffix.next->number, -73.25f);

    const auto south = parse("FIX ABC LATLON S 40 30 E 073 15");
    EXPECT_FLOAT_EQ(south->body->body->next->body->number, -40.5f);
    EXPECT_FLOAT_EQ(south->body->body->next->next->number, 73.25f);
    const auto odd = parse("FIX ABC LATLON Q 40 30 X 073 15");  // any other hemisphere: south, west
    EXPECT_FLOAT_EQ(odd->body->body->next->body->number, -40.5f);
    EXPECT_FLOAT_EQ(odd->body->body->next->next->number, -73.25f);

    EXPECT_EQ(shapeOf("FIX CF COLOCATED SFO 194 10"), "OP_DEF_FIX{G{'CF' SUFFIX_COLOCATED{'SFO' G{194 10}}}}");
}

TEST(ParseStatement, CourseLegsAndClauses) {
    EXPECT_EQ(shapeOf("TRK 284 UNTIL 1100"), "OP_TRK{284 SUFFIX_UNTIL{1100}}");
    EXPECT_EQ(shapeOf("HDG 090"), "OP_TRK{90}");
    EXPECT_EQ(shapeOf("HDG 090 UNTIL 5 FROM SFO FIX A"), "OP_TRK{90 SUFFIX_UNTIL{5}} OP_LOAD_FIX{'A'}");
    EXPECT_EQ(shapeOf("HDG 250 INTERCEPT RADIAL 288 FROM NAVAID OSI FIX PORTE"),
              "OP_TRK{250 OP_INTC_RADIAL_FROM{288 OP_LOAD_NAVAID{'OSI'}}} OP_LOAD_FIX{'PORTE'}");
    EXPECT_EQ(shapeOf("HDG 250 UNTIL RADIAL 100 TO FIX X"), "OP_TRK{250 OP_INTC_RADIAL_TO{100 OP_LOAD_FIX{'X'}}}");
    EXPECT_EQ(shapeOf("KEEP HDG UNTIL 1100 HDG 180"), "OP_KEEP_TRK{SUFFIX_UNTIL{1100}} OP_TRK{180}");
    EXPECT_EQ(shapeOf("KEEP TRK VECTORS UNTIL 3"), "OP_KEEP_TRK{SUFFIX_UNTIL{3}}");
    EXPECT_EQ(shapeOf("KEEP HDG FIX A"), "OP_KEEP_TRK OP_LOAD_FIX{'A'}");
}

TEST(ParseStatement, StatementsCutShortProduceNothing) {
    EXPECT_EQ(shapeOf("FIX"), "");
    EXPECT_EQ(shapeOf("FIX OVERFLY"), "");
    EXPECT_EQ(shapeOf("FIX ABC AT OR"), "OP_LOAD_FIX{'ABC'}");
    EXPECT_EQ(shapeOf("FIX ABC AT OR ABOVE"), "OP_LOAD_FIX{'ABC'}");
    EXPECT_EQ(shapeOf("FIX ABC AT"), "OP_LOAD_FIX{'ABC'}");
    EXPECT_EQ(shapeOf("HDG 100 INTERCEPT RADIAL 100 FROM"), "OP_TRK{100}");
    EXPECT_EQ(shapeOf("HDG 100 INTERCEPT RADIAL"), "OP_TRK{100}");
    EXPECT_EQ(shapeOf("HDG 100 INTERCEPT"), "OP_TRK{100}");
    EXPECT_EQ(shapeOf("HDG"), "");
    EXPECT_EQ(shapeOf("KEEP"), "OP_KEEP_TRK");
    EXPECT_EQ(shapeOf("FIX CF COLOCATED SFO 194"), "");
    EXPECT_EQ(shapeOf("FIX CF COLOCATED"), "");
    EXPECT_EQ(shapeOf("FIX ABC LATLON N 40 30 W 073"), "");
    EXPECT_EQ(shapeOf("FIX ABC LATLON N 40"), "");
    EXPECT_EQ(shapeOf("SID"), "");
    EXPECT_EQ(shapeOf("TRANSITION"), "");
    EXPECT_EQ(shapeOf("RNW"), "");
}

TEST(ParseStatement, KeywordsWhereNamesBelong) {
    EXPECT_EQ(shapeOf("FIX FIX A"), "OP_LOAD_FIX{'A'}");  // the second FIX is a statement of its own
    EXPECT_EQ(shapeOf("SID FIX A"), "OP_LOAD_FIX{'A'}");
    EXPECT_EQ(shapeOf("RNW HOLD"), "OP_HOLD");
    EXPECT_EQ(shapeOf("TRANSITION SIDS"), "OP_DECL_SIDS");
    EXPECT_EQ(shapeOf("FIX A AT FIX B"), "OP_LOAD_FIX{'A'} OP_LOAD_FIX{'B'}");
    EXPECT_EQ(shapeOf("FIX A COLOCATED FIX 1 2"), "OP_LOAD_FIX{G{'1' SUFFIX_AT{2}}}");
}

TEST(ParseStatement, LongLinesParseWithoutDeepRecursion) {
    std::string line = "TRANSITION T";
    for (int i = 0; i < 20000; ++i) line += " FIX F" + std::to_string(i) + " AT OR ABOVE 5000";
    const auto chain = parse(line);
    size_t count = 0;
    for (const ProcNode* n = chain.get(); n; n = n->next.get()) ++count;
    EXPECT_EQ(count, 20001u);
    const auto copy = chain->Clone();  // iterative along the chain
    EXPECT_EQ(shape(copy.get()), shape(chain.get()));
}

TEST(ProcNode, DeepCopyHasItsOwnNodesAndSerials) {
    const auto original = parse("SID SX FIX A AT 3000 FIX B");
    const uint64_t before = ProcNodesCreated();
    auto copy = original->Clone();
    EXPECT_EQ(shape(copy.get()), shape(original.get()));
    EXPECT_GT(ProcNodesCreated(), before);
    EXPECT_GT(copy->serial, original->Last()->serial);
    // Changing the copy leaves the original alone, and parents point inside the copy.
    copy->body->text = "CHANGED";
    EXPECT_EQ(original->body->text, "SX");
    EXPECT_EQ(copy->body->parent, copy.get());
    EXPECT_EQ(copy->next->parent, copy.get());
    const ProcNode* suffix = copy->next->next->body->body->next.get();
    EXPECT_EQ(suffix->op, ProcOp::SuffixAt);
    EXPECT_EQ(suffix->parent, copy->next->next->body->body.get());
}

}  // namespace
}  // namespace halvex
