#include "display/CduTextGrid.h"

#include <algorithm>

namespace halvex {

namespace {
// Bytes of 128 and above keep their byte value as the character code (Latin-1 reading).
uint32_t charCode(char c) { return static_cast<unsigned char>(c); }
}  // namespace

void CduTextGrid::WriteMessage(std::string_view text) {
    const size_t n = std::min(text.size(), static_cast<size_t>(kCells));
    for (size_t i = 0; i < n; ++i) cells_[i] = cell::Make(charCode(text[i]), 7, false, false);
}

void CduTextGrid::WriteChar(int column, int row, std::string_view text) {
    if (text.empty()) return;
    column = std::clamp(column, 0, kColumns - 1);
    row = std::clamp(row, 0, kRows - 1);
    cells_[static_cast<size_t>(row * kColumns + column)] = cell::Make(charCode(text[0]), 7, false, false);
}

void CduTextGrid::WriteLine(int column, int row, std::string_view text, int length, int colour, bool small, bool mark) {
    row = std::clamp(row, 0, kRows - 1);
    if (column >= kColumns) return;
    int64_t count = length < 1 ? kColumns : length;
    count = std::min<int64_t>(count, static_cast<int64_t>(text.size()));
    column = std::max(column, 0);  // a negative column is clamped to the left edge
    count = std::min<int64_t>(count, kColumns - column);
    for (int64_t i = 0; i < count; ++i)
        cells_[static_cast<size_t>(row * kColumns + column + i)] =
            cell::Make(charCode(text[static_cast<size_t>(i)]), colour, small, mark);
}

}  // namespace halvex
