#include <gtest/gtest.h>

#include "display/CduTextGrid.h"

namespace halvex {

namespace {
std::string rowText(const CduTextGrid& g, int row) {
    std::string s;
    for (int c = 0; c < CduTextGrid::kColumns; ++c) s += static_cast<char>(cell::Char(g.At(row, c)));
    return s;
}
}  // namespace

TEST(CduTextGrid, LineWritesAreCutAtTheRightEdge) {
    CduTextGrid g;
    g.WriteLine(20, 3, "ABCDEFG", 0, 7, false, false);
    EXPECT_EQ(rowText(g, 3).substr(20), "ABCD");
    g.WriteLine(0, 4, "HELLO WORLD", 5, 2, true, true);  // length cuts the text
    EXPECT_EQ(rowText(g, 4).substr(0, 6), "HELLO ");
    EXPECT_EQ(g.At(4, 0), cell::Make('H', 2, true, true));
    EXPECT_EQ(g.At(4, 0), (2u << 29) | (1u << 27) | (1u << 26) | 'H');
}

TEST(CduTextGrid, RowsAreClampedAndNegativeColumnsStartAtTheLeftEdge) {
    CduTextGrid g;
    g.WriteLine(0, 99, "LAST", 0, 7, false, false);
    EXPECT_EQ(rowText(g, 14).substr(0, 4), "LAST");
    g.WriteLine(-5, -3, "NEG", 0, 7, false, false);
    EXPECT_EQ(rowText(g, 0).substr(0, 3), "NEG");
    g.WriteLine(24, 1, "OUTSIDE", 0, 7, false, false);
    g.WriteLine(INT32_MIN, 2, "X", 0, 7, false, false);
    EXPECT_EQ(rowText(g, 1), std::string(24, ' '));
    g.WriteChar(-5, 99, "QZ");
    EXPECT_EQ(g.At(14, 0), 0xE0000000u + 'Q');
    g.WriteChar(3, 3, "");
    EXPECT_EQ(g.At(3, 3), cell::kBlank);
}

TEST(CduTextGrid, TenKilobytesOfTextNeverLeaveTheGrid) {
    CduTextGrid g;
    const std::string big(10240, '\xE9');
    for (int row = -2; row < 20; ++row) g.WriteLine(row, row, big, 0, 7, false, false);
    g.WriteMessage(big);
    for (int i = 0; i < CduTextGrid::kCells; ++i)
        EXPECT_EQ(cell::Char(g.Cells()[static_cast<size_t>(i)]), 0xE9u);  // high bytes keep their value
}

TEST(CduTextGrid, MessagesRunRowAfterRowAndLineFeedsTakeACell) {
    CduTextGrid g;
    g.WriteMessage("INI FILE NOT LOADED\n");
    EXPECT_EQ(rowText(g, 0).substr(0, 19), "INI FILE NOT LOADED");
    EXPECT_EQ(cell::Char(g.At(0, 19)), '\n');
    EXPECT_EQ(g.At(0, 0), 0xE0000000u + 'I');
    g.WriteMessage(std::string(30, 'M'));
    EXPECT_EQ(rowText(g, 1).substr(0, 7), "MMMMMM ");
    g.Clear();
    EXPECT_EQ(g.At(7, 7), 32u);
}

}  // namespace halvex
