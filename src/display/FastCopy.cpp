#include "display/FastCopy.h"

#include <cairo.h>

#include <cmath>
#include <algorithm>
#include <cstring>

namespace halvex {

void CopyBottomUp(DeviceContext canvas, BottomUpImage& out) {
    out.width = out.height = 0;
    if (!canvas || cairo_surface_get_type(canvas) != CAIRO_SURFACE_TYPE_IMAGE) return;
    cairo_surface_flush(canvas);
    const unsigned char* data = cairo_image_surface_get_data(canvas);
    if (!data) return;
    const int w = cairo_image_surface_get_width(canvas), h = cairo_image_surface_get_height(canvas);
    const int stride = cairo_image_surface_get_stride(canvas);
    out.width = w;
    out.height = h;
    out.rows.resize(static_cast<size_t>(w) * 3 * static_cast<size_t>(h));
    for (int j = 0; j < h; ++j) {  // row j counted from the bottom holds canvas row h - 1 - j
        const auto* src = reinterpret_cast<const uint32_t*>(data + (h - 1 - j) * stride);
        uint8_t* dst = out.rows.data() + static_cast<size_t>(j) * static_cast<size_t>(w) * 3;
        for (int i = 0; i < w; ++i) {
            const uint32_t p = src[i];
            dst[3 * i] = static_cast<uint8_t>(p);
            dst[3 * i + 1] = static_cast<uint8_t>(p >> 8);
            dst[3 * i + 2] = static_cast<uint8_t>(p >> 16);
        }
    }
}

void StretchBottomUp(const BottomUpImage& image, DeviceContext dc, float x, float y, float width, float height) {
    if (!dc || image.width <= 0 || image.height <= 0) return;
    if (!std::isfinite(x) || !std::isfinite(y) || !std::isfinite(width) || !std::isfinite(height)) return;
    if (cairo_surface_get_type(dc) != CAIRO_SURFACE_TYPE_IMAGE) return;
    // The destination is truncated to whole pixels, as the platform's stretch call takes it;
    // far-off values are clamped first so the conversion stays defined.
    auto whole = [](float v) { return static_cast<long>(std::fmax(-1e7, std::fmin(1e7, v))); };
    const long dx0 = whole(x), dy0 = whole(y), dw = whole(width), dh = whole(height);
    if (dw <= 0 || dh <= 0) return;
    cairo_surface_flush(dc);
    unsigned char* data = cairo_image_surface_get_data(dc);
    if (!data) return;
    const long cw = cairo_image_surface_get_width(dc), ch = cairo_image_surface_get_height(dc);
    const int stride = cairo_image_surface_get_stride(dc);
    const long rowBytes = static_cast<long>(image.width) * 3;
    // Source byte offset of every visible destination column, worked out once per copy.
    const long firstX = std::max(0L, -dx0), endX = std::min(dw, cw - dx0);
    if (firstX >= endX) return;
    std::vector<long> columnOffset(static_cast<size_t>(endX - firstX));
    for (long tx = firstX; tx < endX; ++tx) columnOffset[static_cast<size_t>(tx - firstX)] = tx * image.width / dw * 3;
    for (long ty = 0; ty < dh; ++ty) {
        const long py = dy0 + ty;
        if (py < 0 || py >= ch) continue;
        const long sourceRow = ty * image.height / dh;  // from the top of the picture
        const uint8_t* src = image.rows.data() + (image.height - 1 - sourceRow) * rowBytes;
        auto* dst = reinterpret_cast<uint32_t*>(data + py * stride) + dx0 + firstX;
        for (const long offset : columnOffset) {
            const uint8_t* s = src + offset;
            *dst++ = 0xFF000000u | static_cast<uint32_t>(s[2]) << 16 | static_cast<uint32_t>(s[1]) << 8 | s[0];
        }
    }
    cairo_surface_mark_dirty(dc);
}

}  // namespace halvex
