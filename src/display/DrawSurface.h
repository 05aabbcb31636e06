// DrawSurface: the off-screen canvas of a display (Cairo image), the context on the frame's
// device context it is copied to, its placement inside the gauge, the quality options, and the
// drawing primitives the displays use. The CDU's text grid and palette live here too.
#pragma once

#include <cstdint>
#include <string_view>

#include "display/CduTextGrid.h"
#include "display/DeviceContext.h"
#include "display/Fonts.h"

typedef struct _cairo cairo_t;

namespace halvex {

struct SurfacePlacement {
    float x = 0, y = 0;
    float width = 0, height = 0;
    float scaleX = 1, scaleY = 1;
};

// Quality of the copy onto the device context when "interpolate high" is set.
enum class Interpolation { Bilinear, HighQualityBilinear };

struct Pen {
    uint32_t argb = 0xFFFFFFFF;
    float width = 1;
    bool dashed = false;
};

struct PointF {
    float x = 0, y = 0;
};

enum class HAlign { Near, Centre };
enum class VAlign { Top, Centre };

class DrawSurface {
public:
    // Makes the canvas (Create). Quality flags given here also govern the canvas drawing; set
    // later, they only govern the copy onto the device context.
    DrawSurface(int bitmapWidth, int bitmapHeight, bool smoothHigh = false, bool interpolateHigh = false,
                Interpolation whenSet = Interpolation::Bilinear);
    ~DrawSurface();  // Destroy
    DrawSurface(const DrawSurface&) = delete;
    DrawSurface& operator=(const DrawSurface&) = delete;

    // ---- CDU contents ----
    CduTextGrid& Grid() { return grid_; }
    const CduTextGrid& Grid() const { return grid_; }
    CduPalette& Palette() { return palette_; }
    const CduPalette& Palette() const { return palette_; }

    // ---- placement and frame ----
    SurfacePlacement& Placement() { return placement_; }
    const SurfacePlacement& Placement() const { return placement_; }
    void SetScale(float scaleX, float scaleY) { placement_.scaleX = scaleX, placement_.scaleY = scaleY; }
    void SetOrigin(float x, float y) { placement_.x = x, placement_.y = y; }
    void SetSize(float width, float height) { placement_.width = width, placement_.height = height; }
    int BitmapWidth() const { return bitmapWidth_; }
    int BitmapHeight() const { return bitmapHeight_; }

    void BindTarget(DeviceContext dc);  // once per frame, before drawing
    DeviceContext Target() const { return target_; }
    void Clear();                       // identity transform, opaque black canvas
    void Present();                     // canvas onto the target at origin and size, times scale
    // Canvas onto the target into (x, y, width, height) device pixels, filtered as configured.
    void CopyTo(float x, float y, float width, float height);
    DeviceContext Canvas() const { return canvas_; }

    bool fastBlt = false;
    bool smoothHigh = false;
    bool interpolateHigh = false;

    // ---- transforms (angles in degrees, clockwise on the screen) ----
    void ResetTransform();
    void RotateAboutCentre(float angleDeg);  // replaces the transform
    void Translate(float dx, float dy);       // appended to the transform

    // ---- primitives; anything with a non-finite coordinate is skipped ----
    void DrawLine(const Pen& pen, float x1, float y1, float x2, float y2);
    void DrawPolyline(const Pen& pen, const PointF* points, int count);
    void DrawPolygon(const Pen& pen, const PointF* points, int count);
    void FillPolygon(uint32_t argb, const PointF* points, int count);
    void DrawEllipse(const Pen& pen, float x, float y, float width, float height);  // bounding box
    void FillRectangle(uint32_t argb, float x, float y, float width, float height);
    // Text in a layout rectangle; a zero-size rectangle anchors it at (x, y). Characters are
    // UTF-16 code units (a lone surrogate draws as a replacement) or Latin-1 bytes.
    void DrawText(std::u16string_view text, FontId font, uint32_t argb, float x, float y, float width, float height,
                  HAlign h, VAlign v);
    void DrawText(std::string_view latin1, FontId font, uint32_t argb, float x, float y, float width, float height,
                  HAlign h, VAlign v);
    void DrawTextAt(std::string_view latin1, FontId font, uint32_t argb, float x, float y, HAlign h) {
        DrawText(latin1, font, argb, x, y, 0, 0, h, VAlign::Centre);
    }

    uint32_t CanvasPixel(int x, int y) const { return PixelAt(canvas_, x, y); }

private:
    void makeCanvasContext();
    void drawCodePoints(const uint32_t* codes, int count, FontId font, uint32_t argb, float x, float y, float width,
                        float height, HAlign h, VAlign v);

    int bitmapWidth_;
    int bitmapHeight_;
    bool canvasSmooth_;
    Interpolation whenSet_;
    CduTextGrid grid_;
    CduPalette palette_{};
    SurfacePlacement placement_;
    DeviceContext canvas_ = nullptr;
    cairo_t* canvasGraphics_ = nullptr;
    DeviceContext target_ = nullptr;
    cairo_t* targetGraphics_ = nullptr;
};

}  // namespace halvex
