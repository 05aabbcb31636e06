#include "display/DrawSurface.h"

#include <cairo.h>

#include <cmath>
#include <vector>

namespace halvex {

namespace {

constexpr uint32_t kReplacement = 0xFFFD;
constexpr double kDegToRad = 3.14159265358979323846 / 180.0;
constexpr int kMaxTextLength = 256;  // a longer text is cut: nothing a display shows is longer

void setColour(cairo_t* cr, uint32_t argb) {
    cairo_set_source_rgba(cr, (argb >> 16 & 0xFF) / 255.0, (argb >> 8 & 0xFF) / 255.0, (argb & 0xFF) / 255.0,
                          (argb >> 24 & 0xFF) / 255.0);
}

void setPen(cairo_t* cr, const Pen& pen) {
    setColour(cr, pen.argb);
    cairo_set_line_width(cr, std::isfinite(pen.width) && pen.width > 0 ? pen.width : 1.0);
    if (pen.dashed) {
        const double dash[] = {3.0 * pen.width, pen.width};  // the platform's dash: 3 on, 1 off, in widths
        cairo_set_dash(cr, dash, 2, 0);
    } else {
        cairo_set_dash(cr, nullptr, 0, 0);
    }
}

bool finite(float a, float b) { return std::isfinite(a) && std::isfinite(b); }

bool pathOf(cairo_t* cr, const PointF* points, int count) {
    if (!points || count < 2) return false;
    for (int i = 0; i < count; ++i)
        if (!finite(points[i].x, points[i].y)) return false;
    cairo_new_path(cr);
    cairo_move_to(cr, points[0].x, points[0].y);
    for (int i = 1; i < count; ++i) cairo_line_to(cr, points[i].x, points[i].y);
    return true;
}

}  // namespace

DrawSurface::DrawSurface(int bitmapWidth, int bitmapHeight, bool smooth, bool interpolate, Interpolation whenSet)
    : smoothHigh(smooth),
      interpolateHigh(interpolate),
      bitmapWidth_(bitmapWidth > 0 ? bitmapWidth : 1),
      bitmapHeight_(bitmapHeight > 0 ? bitmapHeight : 1),
      canvasSmooth_(smooth),
      whenSet_(whenSet) {
    palette_.fill(0xFFFFFFFFu);  // opaque white until the script's colours are read
    canvas_ = cairo_image_surface_create(CAIRO_FORMAT_RGB24, bitmapWidth_, bitmapHeight_);
    makeCanvasContext();
}

DrawSurface::~DrawSurface() {
    if (targetGraphics_) cairo_destroy(targetGraphics_);
    if (canvasGraphics_) cairo_destroy(canvasGraphics_);
    if (canvas_) cairo_surface_destroy(canvas_);
}

void DrawSurface::makeCanvasContext() {
    if (canvasGraphics_) cairo_destroy(canvasGraphics_);
    canvasGraphics_ = cairo_create(canvas_);
    // Shapes follow the canvas's own quality; text is always greyscale-smoothed, as the
    // platform renders text whatever the shape mode.
    cairo_set_antialias(canvasGraphics_, canvasSmooth_ ? CAIRO_ANTIALIAS_GRAY : CAIRO_ANTIALIAS_NONE);
    cairo_set_line_join(canvasGraphics_, CAIRO_LINE_JOIN_MITER);
    ResetTransform();
}

void DrawSurface::BindTarget(DeviceContext dc) {
    if (targetGraphics_) cairo_destroy(targetGraphics_);
    targetGraphics_ = nullptr;
    target_ = dc;
    if (dc) targetGraphics_ = cairo_create(dc);
}

void DrawSurface::Clear() {
    // A failed call leaves a Cairo context unusable for good; start a fresh one for the frame.
    if (cairo_status(canvasGraphics_) != CAIRO_STATUS_SUCCESS) makeCanvasContext();
    cairo_identity_matrix(canvasGraphics_);
    cairo_set_source_rgb(canvasGraphics_, 0, 0, 0);
    cairo_paint(canvasGraphics_);
    ResetTransform();
}

void DrawSurface::Present() {
    const SurfacePlacement& p = placement_;
    CopyTo(p.x * p.scaleX, p.y * p.scaleY, p.width * p.scaleX, p.height * p.scaleY);
}

void DrawSurface::CopyTo(float x, float y, float width, float height) {
    if (!targetGraphics_ || !finite(x, y) || !finite(width, height) || width <= 0 || height <= 0) return;
    cairo_surface_flush(canvas_);
    cairo_t* cr = targetGraphics_;
    cairo_save(cr);
    cairo_set_antialias(cr, smoothHigh ? CAIRO_ANTIALIAS_GRAY : CAIRO_ANTIALIAS_NONE);
    cairo_rectangle(cr, x, y, width, height);
    cairo_clip(cr);
    cairo_translate(cr, x, y);
    cairo_scale(cr, width / bitmapWidth_, height / bitmapHeight_);
    cairo_set_source_surface(cr, canvas_, 0, 0);
    cairo_pattern_t* pattern = cairo_get_source(cr);
    cairo_pattern_set_extend(pattern, CAIRO_EXTEND_PAD);  // no dark fringe at the picture's edges
    cairo_filter_t filter = CAIRO_FILTER_FAST;
    if (interpolateHigh) filter = whenSet_ == Interpolation::HighQualityBilinear ? CAIRO_FILTER_GOOD : CAIRO_FILTER_BILINEAR;
    cairo_pattern_set_filter(pattern, filter);
    cairo_paint(cr);
    cairo_restore(cr);
    cairo_surface_flush(target_);
}

// ---- transforms ----

void DrawSurface::ResetTransform() {
    cairo_identity_matrix(canvasGraphics_);
    cairo_translate(canvasGraphics_, 0.5, 0.5);  // integer coordinates are pixel centres
}

void DrawSurface::RotateAboutCentre(float angleDeg) {
    ResetTransform();
    if (!std::isfinite(angleDeg)) return;
    const double cx = bitmapWidth_ / 2.0, cy = bitmapHeight_ / 2.0;
    cairo_translate(canvasGraphics_, cx, cy);
    cairo_rotate(canvasGraphics_, std::fmod(static_cast<double>(angleDeg), 360.0) * kDegToRad);
    cairo_translate(canvasGraphics_, -cx, -cy);
}

void DrawSurface::Translate(float dx, float dy) {
    if (finite(dx, dy)) cairo_translate(canvasGraphics_, dx, dy);
}

// ---- shapes ----

void DrawSurface::DrawLine(const Pen& pen, float x1, float y1, float x2, float y2) {
    const PointF points[] = {{x1, y1}, {x2, y2}};
    DrawPolyline(pen, points, 2);
}

void DrawSurface::DrawPolyline(const Pen& pen, const PointF* points, int count) {
    if (!pathOf(canvasGraphics_, points, count)) return;
    setPen(canvasGraphics_, pen);
    cairo_stroke(canvasGraphics_);
}

void DrawSurface::DrawPolygon(const Pen& pen, const PointF* points, int count) {
    if (!pathOf(canvasGraphics_, points, count)) return;
    cairo_close_path(canvasGraphics_);
    setPen(canvasGraphics_, pen);
    cairo_stroke(canvasGraphics_);
}

void DrawSurface::FillPolygon(uint32_t argb, const PointF* points, int count) {
    if (!pathOf(canvasGraphics_, points, count)) return;
    cairo_close_path(canvasGraphics_);
    setColour(canvasGraphics_, argb);
    cairo_fill(canvasGraphics_);
}

void DrawSurface::DrawEllipse(const Pen& pen, float x, float y, float width, float height) {
    if (!finite(x, y) || !finite(width, height) || width <= 0 || height <= 0) return;
    cairo_t* cr = canvasGraphics_;
    cairo_new_path(cr);
    cairo_save(cr);
    cairo_translate(cr, x + width / 2.0, y + height / 2.0);
    cairo_scale(cr, width / 2.0, height / 2.0);
    cairo_arc(cr, 0, 0, 1, 0, 2 * 3.14159265358979323846);
    cairo_restore(cr);
    setPen(cr, pen);
    cairo_stroke(cr);
}

void DrawSurface::FillRectangle(uint32_t argb, float x, float y, float width, float height) {
    if (!finite(x, y) || !finite(width, height)) return;
    cairo_new_path(canvasGraphics_);
    cairo_rectangle(canvasGraphics_, x - 0.5, y - 0.5, width, height);  // fills cover whole pixels
    setColour(canvasGraphics_, argb);
    cairo_fill(canvasGraphics_);
}

// ---- text ----

void DrawSurface::DrawText(std::u16string_view text, FontId font, uint32_t argb, float x, float y, float width,
                           float height, HAlign h, VAlign v) {
    uint32_t codes[kMaxTextLength];
    int n = 0;
    for (size_t i = 0; i < text.size() && n < kMaxTextLength; ++i) {
        const uint32_t u = text[i];
        if (u >= 0xD800 && u <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
            codes[n++] = 0x10000 + ((u - 0xD800) << 10) + (text[i + 1] - 0xDC00u);
            ++i;
        } else {
            codes[n++] = (u >= 0xD800 && u <= 0xDFFF) ? kReplacement : u;
        }
    }
    drawCodePoints(codes, n, font, argb, x, y, width, height, h, v);
}

void DrawSurface::DrawText(std::string_view latin1, FontId font, uint32_t argb, float x, float y, float width,
                           float height, HAlign h, VAlign v) {
    uint32_t codes[kMaxTextLength];
    int n = 0;
    for (size_t i = 0; i < latin1.size() && n < kMaxTextLength; ++i) codes[n++] = static_cast<unsigned char>(latin1[i]);
    drawCodePoints(codes, n, font, argb, x, y, width, height, h, v);
}

void DrawSurface::drawCodePoints(const uint32_t* codes, int count, FontId font, uint32_t argb, float x, float y,
                                 float width, float height, HAlign h, VAlign v) {
    if (count <= 0 || !finite(x, y) || !finite(width, height)) return;
    FontSet& fonts = FontSet::Shared();
    cairo_glyph_t glyphs[kMaxTextLength];
    int faces[kMaxTextLength];
    double pen = 0;
    for (int i = 0; i < count; ++i) {
        const GlyphRef g = fonts.Glyph(font, codes[i]);
        cairo_glyph_t glyph{g.index, pen, 0};
        cairo_text_extents_t e;
        cairo_scaled_font_glyph_extents(fonts.Scaled(font, g.face), &glyph, 1, &e);
        glyphs[i] = glyph;
        faces[i] = g.face;
        pen += e.x_advance;
    }
    const double ascent = fonts.Ascent(font), lineHeight = ascent + fonts.Descent(font);
    const double left = h == HAlign::Centre ? x + (width - pen) / 2.0 : x;
    const double baseline = v == VAlign::Centre ? y + (height - lineHeight) / 2.0 + ascent : y + ascent;
    cairo_t* cr = canvasGraphics_;
    // Cairo takes whole-pixel positions for layout; drop the half-pixel centre offset.
    for (int i = 0; i < count; ++i) glyphs[i].x += left - 0.5, glyphs[i].y = baseline - 0.5;
    setColour(cr, argb);
    for (int start = 0; start < count;) {
        int end = start + 1;
        while (end < count && faces[end] == faces[start]) ++end;
        cairo_set_scaled_font(cr, fonts.Scaled(font, faces[start]));
        cairo_show_glyphs(cr, glyphs + start, end - start);
        start = end;
    }
}

}  // namespace halvex
