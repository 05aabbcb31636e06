// DeviceContext: what a host hands a display to paint on. On Linux it is a Cairo image surface
// the host (panel host or command-line tool) owns; these helpers make, read and save one.
#pragma once

#include <cstdint>
#include <string>

typedef struct _cairo_surface cairo_surface_t;

namespace halvex {

using DeviceContext = cairo_surface_t*;

DeviceContext NewDeviceContext(int widthPx, int heightPx);  // opaque black ARGB image
void FreeDeviceContext(DeviceContext dc);
int ContextWidth(DeviceContext dc);
int ContextHeight(DeviceContext dc);
// 0xAARRGGBB of one pixel; 0 outside the image or for a context that is not an image.
uint32_t PixelAt(DeviceContext dc, int x, int y);
bool WritePng(DeviceContext dc, const std::string& path);
// Paints source's image onto dc at (x, y), unscaled.
void PaintAt(DeviceContext dc, DeviceContext source, double x, double y);

// Owns a context for the length of a scope.
class ScopedContext {
public:
    ScopedContext(int widthPx, int heightPx) : dc_(NewDeviceContext(widthPx, heightPx)) {}
    ~ScopedContext() { FreeDeviceContext(dc_); }
    ScopedContext(const ScopedContext&) = delete;
    ScopedContext& operator=(const ScopedContext&) = delete;
    DeviceContext get() const { return dc_; }

private:
    DeviceContext dc_;
};

}  // namespace halvex
