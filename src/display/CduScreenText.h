// The CDU screen as text: what each cell shows, one UTF-8 line per row.
#pragma once

#include <cstdint>
#include <string>

#include "display/CduTextGrid.h"

namespace halvex {

// What the screen shows for a cell's character: empty and control cells show a space, the grave
// accent a degree sign, the bar a white square.
uint32_t ShownCharacter(TextCell cell);
void AppendUtf8(std::string& out, uint32_t code);
// The 15 rows of a grid of CduTextGrid::kCells cells, each ending in a line feed.
std::string CduScreenText(const TextCell* cells);

}  // namespace halvex
