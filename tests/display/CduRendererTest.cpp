// The CDU screen as a pilot sees it: cells where the grid geometry puts them, the script's
// substitute characters, colours, both copy paths onto the gauge.
#include <gtest/gtest.h>

#include "PixelProbe.h"
#include "display/CduRenderer.h"
#include "display/FastCopy.h"

namespace halvex {

namespace {

constexpr int kCellW = 15, kCellH = 17;  // 360 / 24 and 255 / 15

// A CDU surface with the grid cleared to empty cells, bound to a 360 x 255 context.
struct Screen {
    DrawSurface surface{360, 255};
    ScopedContext dc{360, 255};
    Screen() {
        for (int r = 0; r < CduTextGrid::kRows; ++r)
            for (int c = 0; c < CduTextGrid::kColumns; ++c) surface.Grid().Set(r, c, 0);
        surface.BindTarget(dc.get());
    }
    void Put(int row, int column, TextCell value) { surface.Grid().Set(row, column, value); }
    void Render() { RenderCdu(surface, 0, 0, 360, 255); }
    probe::Box Cell(int row, int column) const {
        return probe::LitIn(surface.Canvas(), column * kCellW, row * kCellH, kCellW, kCellH);
    }
};

bool SameCell(const Screen& a, const Screen& b, int row, int column) {
    for (int y = row * kCellH; y < (row + 1) * kCellH; ++y)
        for (int x = column * kCellW; x < (column + 1) * kCellW; ++x)
            if (a.surface.CanvasPixel(x, y) != b.surface.CanvasPixel(x, y)) return false;
    return true;
}

}  // namespace

TEST(CduRenderer, AGlyphStaysInsideTheCellTheGridGeometryGivesIt) {
    Screen s;
    s.Put(3, 5, cell::Make('H', 7, false, false));
    s.Render();
    const probe::Box all = probe::LitIn(s.surface.Canvas(), 0, 0, 360, 255);
    ASSERT_FALSE(all.Empty());
    EXPECT_GE(all.x0, 5 * kCellW);
    EXPECT_LT(all.x1, 6 * kCellW);
    EXPECT_GE(all.y0, 3 * kCellH);
    EXPECT_LT(all.y1, 4 * kCellH + 1);  // a capital sits on the baseline at the cell's foot
    // Centred in its cell.
    EXPECT_NEAR((all.x0 + all.x1) / 2.0, 5 * kCellW + 7, 1.5);
}

TEST(CduRenderer, ScriptSubstitutesShowAsDegreeSignAndWhiteSquare) {
    Screen grave, degree, bar, square;
    grave.Put(1, 1, 96);
    degree.Put(1, 1, 0xB0);
    bar.Put(1, 1, 124);
    square.Put(1, 1, 0x25A1);
    for (Screen* s : {&grave, &degree, &bar, &square}) s->Render();
    EXPECT_FALSE(grave.Cell(1, 1).Empty());
    EXPECT_TRUE(SameCell(grave, degree, 1, 1));
    EXPECT_TRUE(SameCell(bar, square, 1, 1));
    // A white square: an outline with a dark middle, wider than a bar would be.
    const probe::Box box = bar.Cell(1, 1);
    ASSERT_FALSE(box.Empty());
    EXPECT_GE(box.x1 - box.x0, 6);
    const int midX = (box.x0 + box.x1) / 2, midY = (box.y0 + box.y1) / 2;
    EXPECT_FALSE(probe::Lit(bar.surface.CanvasPixel(midX, midY)));
}

TEST(CduRenderer, EmptyCellsAndSpacesLeaveTheScreenBlack) {
    Screen s;
    s.Put(0, 0, cell::Make(' ', 7, false, false));
    s.Put(14, 23, cell::Make(' ', 3, true, false));
    s.Render();
    EXPECT_TRUE(probe::LitIn(s.surface.Canvas(), 0, 0, 360, 255).Empty());
}

TEST(CduRenderer, ColourIndexPicksThePaletteAndSmallBitTheSmallFont) {
    Screen s;
    s.surface.Palette()[1] = 0xFF00FF00;
    s.Put(2, 2, cell::Make('M', 1, false, false));
    s.Put(2, 4, cell::Make('M', 7, false, false));  // palette still at its construction white
    s.Put(2, 6, cell::Make('M', 7, true, false));
    s.Render();
    EXPECT_GT(probe::CountNear(s.surface.Canvas(), 2 * kCellW, 2 * kCellH, kCellW, kCellH, 0xFF00FF00, 10), 10);
    EXPECT_EQ(probe::CountNear(s.surface.Canvas(), 2 * kCellW, 2 * kCellH, kCellW, kCellH, 0xFFFFFFFF, 200), 0);
    EXPECT_GT(probe::CountNear(s.surface.Canvas(), 4 * kCellW, 2 * kCellH, kCellW, kCellH, 0xFFFFFFFF, 10), 10);
    const probe::Box large = s.Cell(2, 4), small = s.Cell(2, 6);
    EXPECT_LT(small.y1 - small.y0, large.y1 - large.y0);
}

TEST(CduRenderer, HostileCellsAndPaletteStillGiveAPicture) {
    Screen s;
    int i = 0;
    for (int r = 0; r < CduTextGrid::kRows; ++r)
        for (int c = 0; c < CduTextGrid::kColumns; ++c, ++i) {
            const uint32_t ch = (i % 2) ? 128 + i % 128 : 0xD800 + i * 7 % 0x800;  // high bytes, lone surrogates
            s.Put(r, c, (static_cast<uint32_t>(i) << 24 & 0xF4000000u) | ch);
        }
    s.surface.Palette() = {0x00000000, 0x12345678, 0xFFFFFFFF, 0x80FF0000, 0, 0xFFFFFF00, 1, 0x7FFFFFFF};
    s.surface.fastBlt = true;
    s.Render();
    s.surface.fastBlt = false;
    s.Render();
    // Every lone surrogate is drawn as a visible replacement in a visible colour.
    s.surface.Palette().fill(0xFFFFFFFF);
    s.Render();
    EXPECT_FALSE(s.Cell(0, 0).Empty());
}

TEST(CduRenderer, BothCopiesStretchTheCanvasOntoTheFaceScreenWithEveryRowInOrder) {
    // Canvas rows painted in a ramp: row k gets blue k, so each face row names its canvas row.
    for (bool fast : {true, false}) {
        DrawSurface surface(360, 255);
        surface.fastBlt = fast;
        ScopedContext face(500, 559);
        surface.BindTarget(face.get());
        surface.Clear();
        for (int k = 0; k < 255; ++k) surface.FillRectangle(0xFF000000u | static_cast<uint32_t>(k), 0, k, 360, 1);
        if (fast) {
            BottomUpImage rows;
            CopyBottomUp(surface.Canvas(), rows);
            StretchBottomUp(rows, face.get(), 72, 51, 360, 256);
        } else {
            surface.CopyTo(72, 51, 360, 256);
        }
        std::vector<int> seen(255, 0);
        int previous = -1;
        for (int y = 51; y < 51 + 256; ++y) {
            const int k = probe::Blue(PixelAt(face.get(), 200, y));
            EXPECT_GE(k, previous) << "row " << y << (fast ? " fast" : " scaled");
            previous = k;
            ++seen[static_cast<size_t>(k)];
        }
        EXPECT_EQ(probe::Blue(PixelAt(face.get(), 200, 51)), 0);
        EXPECT_EQ(probe::Blue(PixelAt(face.get(), 200, 51 + 255)), 254);
        int doubled = 0;
        for (int k = 0; k < 255; ++k) {
            EXPECT_GE(seen[static_cast<size_t>(k)], 1) << "canvas row " << k << " lost";
            doubled += seen[static_cast<size_t>(k)] == 2;
        }
        EXPECT_EQ(doubled, 1);  // 255 rows onto 256: exactly one shown twice
        // Nothing outside the screen window.
        EXPECT_EQ(PixelAt(face.get(), 200, 50), 0xFF000000u);
        EXPECT_EQ(PixelAt(face.get(), 71, 100), 0xFF000000u);
        EXPECT_EQ(PixelAt(face.get(), 432, 100), 0xFF000000u);
        EXPECT_EQ(PixelAt(face.get(), 200, 51 + 256), 0xFF000000u);
    }
}

TEST(CduRenderer, QualityOptionsChangeTheStretchNotTheCanvas) {
    Screen plain, smooth;
    smooth.surface.smoothHigh = smooth.surface.interpolateHigh = true;
    ScopedContext a(720, 510), b(720, 510);
    plain.surface.BindTarget(a.get());
    smooth.surface.BindTarget(b.get());
    for (Screen* s : {&plain, &smooth}) {
        s->Put(4, 4, cell::Make('A', 7, false, false));
        RenderCdu(s->surface, 0, 0, 720, 510);
    }
    EXPECT_TRUE(SameCell(plain, smooth, 4, 4));
    int differing = 0;
    for (int y = 4 * 2 * kCellH; y < 5 * 2 * kCellH; ++y)
        for (int x = 4 * 2 * kCellW; x < 5 * 2 * kCellW; ++x) differing += PixelAt(a.get(), x, y) != PixelAt(b.get(), x, y);
    EXPECT_GT(differing, 0);
}

}  // namespace halvex
