// Our gauge faces: the sizes the gauges name, the screen windows and keys where the mouse
// rectangles are, labels from the page script, and the palette bitmaps the resource file takes.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <vector>

#include "PixelProbe.h"
#include "display/faces/Faces.h"
#include "display/faces/IndexedBmp.h"
#include "display/faces/KeyLabels.h"

namespace halvex {

namespace {

struct Face {
    DeviceContext dc;
    explicit Face(int id, double scale = 1.0, const faces::KeyLabels& labels = {}) : dc(faces::RenderFace(id, scale, labels)) {}
    ~Face() { FreeDeviceContext(dc); }
};

bool White(uint32_t p) { return probe::Red(p) > 200 && probe::Green(p) > 200 && probe::Blue(p) > 200; }

int whiteIn(DeviceContext dc, int x, int y, int w, int h) {
    int n = 0;
    for (int j = y; j < y + h; ++j)
        for (int i = x; i < x + w; ++i) n += White(PixelAt(dc, i, j));
    return n;
}

bool blackWindow(DeviceContext dc, int x, int y, int w, int h) {
    for (int j = y; j < y + h; j += 5)
        for (int i = x; i < x + w; i += 5)
            if (PixelAt(dc, i, j) != 0xFF000000u) return false;
    return PixelAt(dc, x + w - 1, y + h - 1) == 0xFF000000u && PixelAt(dc, x - 3, y - 3) != 0xFF000000u &&
           PixelAt(dc, x + w + 2, y + h + 2) != 0xFF000000u;
}

std::string tempPath(const char* name) { return (std::filesystem::temp_directory_path() / name).string(); }

}  // namespace

TEST(Faces, EveryBitmapHasTheSizeItsGaugeNames) {
    const struct {
        int id, w, h, bits;
    } expected[] = {{8, 500, 559, 8},   {118, 492, 492, 8}, {9, 500, 158, 8}, {2, 64, 64, 8},    {122, 64, 64, 8},
                    {125, 54, 43, 8},   {124, 54, 43, 8},   {117, 32, 32, 4}, {121, 400, 300, 8}};
    for (const auto& e : expected) {
        Face f(e.id);
        ASSERT_NE(f.dc, nullptr) << e.id;
        EXPECT_EQ(ContextWidth(f.dc), e.w) << e.id;
        EXPECT_EQ(ContextHeight(f.dc), e.h) << e.id;
        EXPECT_EQ(faces::FindFace(e.id)->bitsPerPixel, e.bits) << e.id;
    }
    for (int id : {10, 11, 12, 109, 110, 111, 112, 113, 114, 115, 116}) EXPECT_NE(faces::FindFace(id), nullptr) << id;
    EXPECT_EQ(faces::RenderFace(7, 1.0, {}), nullptr);
    Face doubled(8, 2.0);
    EXPECT_EQ(ContextWidth(doubled.dc), 1000);
}

TEST(Faces, CduKeysAndScreenSitOnTheirMouseRectangles) {
    faces::KeyLabels labels;
    for (int code = -19; code <= -10; ++code) labels[code] = "K" + std::to_string(-code);
    for (int code = -4; code <= -1; ++code) labels[code] = "X" + std::to_string(-code);
    Face f(8, 1.0, labels);
    EXPECT_TRUE(blackWindow(f.dc, 72, 51, 360, 256));
    struct Rect {
        int x, y, w, h;
    };
    std::vector<Rect> keys;
    for (int k = 0; k < 6; ++k) keys.push_back({8, 81 + 35 * k, 30, 20}), keys.push_back({464, 81 + 35 * k, 30, 20});
    for (int x : {5, 56, 107, 158, 209, 260, 311, 362, 413, 464}) keys.push_back({x, 344, 36, 34});
    keys.insert(keys.end(), {{6, 297, 36, 34}, {464, 297, 36, 34}, {6, 408, 36, 34}, {464, 412, 32, 32}});
    for (int y : {385, 430, 475, 520})
        for (int x : {174, 216, 258, 300, 342, 384, 426}) keys.push_back({x, y, 32, 32});
    for (int y : {388, 431, 475}) for (int x : {45, 87, 129}) keys.push_back({x, y, 32, 32});
    for (int x : {45, 88, 130}) keys.push_back({x, 519, 32, 32});
    ASSERT_EQ(keys.size(), 66u);
    for (const Rect& r : keys) EXPECT_GE(whiteIn(f.dc, r.x, r.y, r.w, r.h), 2) << r.x << "," << r.y;
    // Gaps between function keys hold no label.
    for (int x : {45, 96, 147, 198, 249, 300, 351, 402, 453}) EXPECT_EQ(whiteIn(f.dc, x, 344, 8, 34), 0) << x;
}

TEST(Faces, EhsiWindowAndLabelledControlsAreWhereTheGaugeExpectsThem) {
    Face f(118);
    EXPECT_TRUE(blackWindow(f.dc, 54, 54, 384, 384));
    for (auto [x, y] : {std::pair{3, 74}, {3, 137}, {3, 326}, {446, 105}, {446, 231}, {446, 292}})
        EXPECT_GE(whiteIn(f.dc, x, y, 44, 44), 10) << x << "," << y;
    EXPECT_GE(whiteIn(f.dc, 1, 405, 50, 40), 4);
    EXPECT_GE(whiteIn(f.dc, 442, 405, 50, 40), 4);
}

TEST(Faces, FunctionKeyLabelsComeFromTheScriptsTable) {
    const std::string path = tempPath("halvex_face_labels.sq");
    {
        std::ofstream out(path);
        out << "KEY_LABELS <- { [-10] = \"FIRST\", [-19] = \"LAST ONE\", [-2] = \"ERASE\" };\n"
               "function Page(core) { FMScore_notCalled(core); }\n"
               "local n = 0; for (local i = 0; i < 10; i += 1) n += i;\n";
    }
    const faces::KeyLabels labels = faces::ReadKeyLabels(path);
    EXPECT_EQ(labels, (faces::KeyLabels{{-10, "FIRST"}, {-19, "LAST ONE"}, {-2, "ERASE"}}));
    {
        std::ofstream out(path);
        out << "KEY_LABELS <- { [-10] = \"X\" ;;; oops\n";
    }
    EXPECT_TRUE(faces::ReadKeyLabels(path).empty());
    EXPECT_TRUE(faces::ReadKeyLabels(tempPath("halvex_no_such_script.sq")).empty());
    std::filesystem::remove(path);
}

TEST(Faces, PaletteBitmapsKeepTheirColoursBottomUp) {
    for (int id : {118, 117}) {
        Face f(id);
        const int bits = faces::FindFace(id)->bitsPerPixel;
        const std::string path = tempPath("halvex_face.bmp");
        ASSERT_TRUE(faces::WriteIndexedBmp(f.dc, path, bits));
        std::ifstream in(path, std::ios::binary);
        const std::vector<uint8_t> b((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        std::filesystem::remove(path);
        auto u32 = [&](size_t at) { return static_cast<uint32_t>(b[at] | b[at + 1] << 8 | b[at + 2] << 16 | b[at + 3] << 24); };
        ASSERT_GT(b.size(), 54u);
        EXPECT_EQ(b[0], 'B');
        EXPECT_EQ(b[1], 'M');
        EXPECT_EQ(u32(2), b.size());
        const int w = static_cast<int>(u32(18)), h = static_cast<int>(u32(22));
        EXPECT_EQ(w, ContextWidth(f.dc));
        EXPECT_EQ(h, ContextHeight(f.dc));  // positive: bottom-up rows
        EXPECT_EQ(b[28], bits);
        const uint32_t offset = u32(10);
        EXPECT_EQ(offset, 14u + 40u + (bits == 8 ? 1024u : 64u));
        const uint32_t stride = ((static_cast<uint32_t>(w) * bits + 31) / 32) * 4;
        auto colourAt = [&](int x, int y) {
            const size_t row = offset + static_cast<size_t>(h - 1 - y) * stride;
            const int index = bits == 8 ? b[row + static_cast<size_t>(x)] : (b[row + static_cast<size_t>(x / 2)] >> (x % 2 ? 0 : 4)) & 15;
            return u32(54 + static_cast<size_t>(index) * 4) | 0xFF000000u;
        };
        // Every sampled pixel keeps its colour within the palette's reach, top rows at the top.
        const int tolerance = bits == 8 ? 30 : 130;
        for (int y = 0; y < h; y += h / 7)
            for (int x = 0; x < w; x += w / 7)
                EXPECT_TRUE(probe::Near(colourAt(x, y), PixelAt(f.dc, x, y), tolerance)) << id << " " << x << "," << y;
        if (id == 118) {
            EXPECT_EQ(colourAt(100, 100), 0xFF000000u);  // inside the picture window
        }
        if (id == 117) {
            EXPECT_EQ(colourAt(0, 0), 0xFF000080u);  // the icon's ground, a standard colour
        }
    }
}

}  // namespace halvex
