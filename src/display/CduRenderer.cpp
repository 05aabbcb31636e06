#include "display/CduRenderer.h"

#include "display/FastCopy.h"

namespace halvex {

char16_t ShownCduCharacter(TextCell c) {
    const uint32_t ch = cell::Char(c);
    if (ch == 96) return 0x00B0;   // the script writes a grave accent for a degree sign
    if (ch == 124) return 0x25A1;  // and a bar for a white square
    return static_cast<char16_t>(ch);
}

void RenderCdu(DrawSurface& surface, float x, float y, float width, float height) {
    surface.Clear();
    const float cellWidth = static_cast<float>(surface.BitmapWidth()) / CduTextGrid::kColumns;
    const float cellHeight = static_cast<float>(surface.BitmapHeight()) / CduTextGrid::kRows;
    const CduTextGrid& grid = surface.Grid();
    const CduPalette& palette = surface.Palette();
    for (int c = 0; c < CduTextGrid::kColumns; ++c) {
        for (int r = 0; r < CduTextGrid::kRows; ++r) {
            const TextCell value = grid.At(r, c);
            const char16_t ch = ShownCduCharacter(value);
            if (ch == 0) continue;
            // The colour index is three bits: every index names a palette entry.
            const uint32_t argb = palette[static_cast<size_t>(cell::Colour(value) & 7)];
            surface.DrawText(std::u16string_view(&ch, 1), cell::Small(value) ? FontId::CduSmall : FontId::CduLarge,
                             argb, cellWidth * static_cast<float>(c), cellHeight * static_cast<float>(r), cellWidth,
                             cellHeight, HAlign::Centre, VAlign::Top);
        }
    }
    if (!surface.fastBlt) {
        surface.CopyTo(x, y, width, height);
        return;
    }
    static thread_local BottomUpImage rows;  // reused: the copy runs on every due draw
    CopyBottomUp(surface.Canvas(), rows);
    StretchBottomUp(rows, surface.Target(), x, y, width, height);
}

}  // namespace halvex
