// CduRenderer: paints the CDU text grid onto its surface, one glyph per cell, and copies the
// picture onto the bound device context (scaled image copy, or the fast row copy).
#pragma once

#include "display/DrawSurface.h"

namespace halvex {

// Paints the grid and copies it into (x, y, width, height) device pixels of the target the
// surface is bound to.
void RenderCdu(DrawSurface& surface, float x, float y, float width, float height);

// The character a cell's code unit is shown as (grave accent as a degree sign, bar as a white
// square); 0 means the cell is left empty.
char16_t ShownCduCharacter(TextCell c);

}  // namespace halvex
