#include "display/DeviceContext.h"

#include <cairo.h>

namespace halvex {

DeviceContext NewDeviceContext(int widthPx, int heightPx) {
    cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, widthPx > 0 ? widthPx : 1,
                                                    heightPx > 0 ? heightPx : 1);
    cairo_t* cr = cairo_create(s);
    cairo_set_source_rgb(cr, 0, 0, 0);
    cairo_paint(cr);
    cairo_destroy(cr);
    return s;
}

void FreeDeviceContext(DeviceContext dc) {
    if (dc) cairo_surface_destroy(dc);
}

int ContextWidth(DeviceContext dc) { return dc ? cairo_image_surface_get_width(dc) : 0; }
int ContextHeight(DeviceContext dc) { return dc ? cairo_image_surface_get_height(dc) : 0; }

uint32_t PixelAt(DeviceContext dc, int x, int y) {
    if (!dc || cairo_surface_get_type(dc) != CAIRO_SURFACE_TYPE_IMAGE) return 0;
    cairo_surface_flush(dc);
    const int w = cairo_image_surface_get_width(dc), h = cairo_image_surface_get_height(dc);
    if (x < 0 || y < 0 || x >= w || y >= h) return 0;
    const unsigned char* data = cairo_image_surface_get_data(dc);
    if (!data) return 0;
    uint32_t v = *reinterpret_cast<const uint32_t*>(data + y * cairo_image_surface_get_stride(dc) + x * 4);
    if (cairo_image_surface_get_format(dc) == CAIRO_FORMAT_RGB24) v |= 0xFF000000u;
    return v;
}

bool WritePng(DeviceContext dc, const std::string& path) {
    return dc && cairo_surface_write_to_png(dc, path.c_str()) == CAIRO_STATUS_SUCCESS;
}

void PaintAt(DeviceContext dc, DeviceContext source, double x, double y) {
    if (!dc || !source) return;
    cairo_t* cr = cairo_create(dc);
    cairo_set_source_surface(cr, source, x, y);
    cairo_paint(cr);
    cairo_destroy(cr);
}

}  // namespace halvex
