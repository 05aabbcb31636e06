// Reading procedure files and tokenising their lines.
#include <gtest/gtest.h>

#include <string>

#include "procedures/ProcedureLexer.h"
#include "support/TempTree.h"

namespace halvex {
namespace {

TEST(ProcKeywords, EveryKeywordHasItsFixedCode) {
    const char* const inOrder[] = {
        "NEWLINE__", "FIXES", "RNWS", "SIDS", "STARS", "APPROACHES", "ENDFIXES", "ENDRNWS", "ENDSIDS", "ENDSTARS",
        "ENDAPPROACHES", "SID", "STAR", "APPROACH", "TRANSITION", "RNW", "FIX", "NAVAID", "AT", "OR", "ABOVE", "BELOW",
        "OVERFLY", "SPEED", "KEEP", "VECTORS", "HDG", "TRK", "UNTIL", "FROM", "TO", "INTERCEPT", "RADIAL", "HOLD",
        "LEFT", "RIGHT", "ALT", "LEGTIME", "COLOCATED", "LATLON", "N", "S", "E", "W"};
    int32_t code = 1;
    for (const char* word : inOrder) {
        EXPECT_EQ(static_cast<int32_t>(KeywordCode(word)), code) << word;
        EXPECT_EQ(KeywordText(static_cast<ProcKeyword>(code)), word);
        ++code;
    }
    EXPECT_EQ(code, 45);
}

TEST(ProcKeywords, BoundsAndOtherWordsAreNotKeywords) {
    EXPECT_EQ(KeywordCode("KEYWORD_BEGIN"), ProcKeyword::End);
    EXPECT_EQ(KeywordCode("KEYWORD_END"), ProcKeyword::End);
    EXPECT_EQ(KeywordCode("sid"), ProcKeyword::End);
    EXPECT_EQ(KeywordCode("Fix"), ProcKeyword::End);
    EXPECT_EQ(KeywordCode("FIXE"), ProcKeyword::End);
    EXPECT_EQ(KeywordCode(""), ProcKeyword::End);
    EXPECT_EQ(KeywordText(ProcKeyword::Begin), "KEYWORD_BEGIN");
    EXPECT_EQ(KeywordText(ProcKeyword::End), "KEYWORD_END");
}

TEST(TokenizeLine, KeywordsWordsAndComments) {
    const TokenLine t = TokenizeLine("SID ABC1 //comment FIX X");
    ASSERT_EQ(t.size(), 2u);
    EXPECT_TRUE(t[0].Is(ProcKeyword::Sid));
    EXPECT_TRUE(t[1].isWord);
    EXPECT_EQ(t[1].text, "ABC1");

    EXPECT_TRUE(TokenizeLine("   \t  ").empty());
    EXPECT_TRUE(TokenizeLine("// whole line").empty());

    const TokenLine lower = TokenizeLine("sid fix");
    ASSERT_EQ(lower.size(), 2u);
    EXPECT_TRUE(lower[0].isWord && lower[1].isWord);

    const TokenLine tabs = TokenizeLine("\tFIX\t\tPORTE  AT\t7000 ");
    ASSERT_EQ(tabs.size(), 4u);
    EXPECT_TRUE(tabs[0].Is(ProcKeyword::Fix));
    EXPECT_EQ(tabs[1].text, "PORTE");
    EXPECT_TRUE(tabs[2].Is(ProcKeyword::At));
    EXPECT_EQ(tabs[3].text, "7000");

    const TokenLine slashes = TokenizeLine("A//B C");  // only a piece that starts with // is a comment
    ASSERT_EQ(slashes.size(), 2u);
    EXPECT_EQ(slashes[0].text, "A//B");

    const TokenLine letters = TokenizeLine("N N40 09L W");
    ASSERT_EQ(letters.size(), 4u);
    EXPECT_TRUE(letters[0].Is(ProcKeyword::N));
    EXPECT_TRUE(letters[1].isWord);
    EXPECT_TRUE(letters[2].isWord);
    EXPECT_TRUE(letters[3].Is(ProcKeyword::W));
}

TEST(SplitProcedureLines, LineEndsBlanksAndEmptyLines) {
    const auto lines = SplitProcedureLines("SIDS  \r\n\r\nSID A \r\nlast");
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[0], "SIDS");
    EXPECT_EQ(lines[1], "");
    EXPECT_EQ(lines[2], "SID A");
    EXPECT_EQ(lines[3], "last");
    EXPECT_EQ(SplitProcedureLines("A\rB\n"), std::vector<std::string>{"A\rB"});  // only a trailing CR goes
    EXPECT_EQ(SplitProcedureLines("x\t \n"), std::vector<std::string>{"x\t"});  // blanks only, not tabs
}

TEST(SplitProcedureLines, AnOverlongLineEndsTheReading) {
    const std::string longest(998, 'A');
    EXPECT_EQ(SplitProcedureLines("a\n" + longest + "\nb\n").size(), 3u);
    EXPECT_EQ(SplitProcedureLines("a\n" + longest + "\r\nb\n").size(), 3u);  // CR does not count
    const auto cut = SplitProcedureLines("a\nb\n" + std::string(999, 'A') + "\nc\n");
    EXPECT_EQ(cut, (std::vector<std::string>{"a", "b"}));
}

TEST(ReadProcedureFile, MissingAndOneLineFilesAreRejected) {
    test::TempTree tree;
    EXPECT_FALSE(ReadProcedureFile("KXXX"));
    tree.write("PMDG/SIDSTARS/KONE.txt", "SIDS\n");
    EXPECT_FALSE(ReadProcedureFile("KONE"));
    tree.write("PMDG/SIDSTARS/KTWO.txt", "SIDS\nENDSIDS");
    const auto two = ReadProcedureFile("KTWO");
    ASSERT_TRUE(two);
    EXPECT_EQ(two->size(), 2u);
    EXPECT_EQ(ProcedureFilePath("KSFO"), "PMDG/SIDSTARS/KSFO.txt");
}

}  // namespace
}  // namespace halvex
