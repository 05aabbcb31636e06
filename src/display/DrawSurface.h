// DrawSurface: the off-screen canvas of a display: its text grid and palette (CDU), placement,
// scale and quality options. Painting comes with the renderers.
#pragma once

#include "display/CduTextGrid.h"

namespace halvex {

struct SurfacePlacement {
    float x = 0, y = 0;
    float width = 0, height = 0;
    float scaleX = 1, scaleY = 1;
};

class DrawSurface {
public:
    DrawSurface(int bitmapWidth, int bitmapHeight) : bitmapWidth_(bitmapWidth), bitmapHeight_(bitmapHeight) {
        palette_.fill(0xFFFFFFFFu);  // opaque white until the script's colours are read
    }

    CduTextGrid& Grid() { return grid_; }
    const CduTextGrid& Grid() const { return grid_; }
    CduPalette& Palette() { return palette_; }
    const CduPalette& Palette() const { return palette_; }
    SurfacePlacement& Placement() { return placement_; }

    int BitmapWidth() const { return bitmapWidth_; }
    int BitmapHeight() const { return bitmapHeight_; }

    bool fastBlt = false;
    bool smoothHigh = false;
    bool interpolateHigh = false;

private:
    int bitmapWidth_;
    int bitmapHeight_;
    CduTextGrid grid_;
    CduPalette palette_{};
    SurfacePlacement placement_;
};

}  // namespace halvex
