// The CDU grid as plain text, the way tests read a page: printable ASCII, anything else a space.
#pragma once

#include <string>

#include "display/CduTextGrid.h"

namespace halvex::test {

inline std::string CduRow(const CduTextGrid& grid, int r) {
    std::string line;
    for (int c = 0; c < CduTextGrid::kColumns; ++c) {
        const uint32_t ch = cell::Char(grid.At(r, c));
        line += ch >= 32 && ch < 127 ? static_cast<char>(ch) : ' ';
    }
    return line;
}

inline std::string CduScreen(const CduTextGrid& grid) {
    std::string s;
    for (int r = 0; r < CduTextGrid::kRows; ++r) s += CduRow(grid, r) + "\n";
    return s;
}

}  // namespace halvex::test
