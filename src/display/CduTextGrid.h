// CduTextGrid: the 15 x 24 cells the CDU screen shows, and the cell encoding.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

namespace halvex {

// One cell: bits 0-15 character, 26 mark, 27 small font, 29-31 colour index.
using TextCell = uint32_t;

namespace cell {
constexpr TextCell kCharMask = 0xFFFF;
constexpr TextCell kMarkBit = 1u << 26;
constexpr TextCell kSmallBit = 1u << 27;
constexpr int kColourShift = 29;
constexpr TextCell kBlank = 32;  // a cleared cell: space, colour 0, large font

constexpr TextCell Make(uint32_t ch, int colour, bool small, bool mark) {
    return (static_cast<uint32_t>(colour & 7) << kColourShift) | (small ? kSmallBit : 0u) | (mark ? kMarkBit : 0u) |
           (ch & kCharMask);
}
constexpr uint32_t Char(TextCell c) { return c & kCharMask; }
constexpr int Colour(TextCell c) { return static_cast<int>(c >> kColourShift); }
constexpr bool Small(TextCell c) { return (c & kSmallBit) != 0; }
constexpr bool Mark(TextCell c) { return (c & kMarkBit) != 0; }
}  // namespace cell

class CduTextGrid {
public:
    static constexpr int kColumns = 24;
    static constexpr int kRows = 15;
    static constexpr int kCells = kColumns * kRows;

    CduTextGrid() { Clear(); }

    void Clear() { cells_.fill(cell::kBlank); }
    TextCell At(int row, int column) const { return cells_[static_cast<size_t>(row * kColumns + column)]; }
    void Set(int row, int column, TextCell value) { cells_[static_cast<size_t>(row * kColumns + column)] = value; }

    // From cell 0 on, row after row, colour 7 large font; at most 360 cells, the rest untouched.
    void WriteMessage(std::string_view text);
    // The first character of text at (column, row), both clamped to the grid.
    void WriteChar(int column, int row, std::string_view text);
    // A run of text from (column, row); the row is clamped, the run cut at the right edge.
    // A negative column is clamped to 0; length < 1 means the whole text.
    void WriteLine(int column, int row, std::string_view text, int length, int colour, bool small, bool mark);

    const std::array<TextCell, kCells>& Cells() const { return cells_; }

private:
    std::array<TextCell, kCells> cells_{};
};

// Eight opaque ARGB colours indexed by a cell's colour index.
using CduPalette = std::array<uint32_t, 8>;

}  // namespace halvex
