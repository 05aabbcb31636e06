// Pixel probes for rendered pictures: colours at points and what is lit inside a rectangle.
#pragma once

#include <cstdint>
#include <cstdlib>

#include "display/DeviceContext.h"

namespace halvex::probe {

inline int Red(uint32_t p) { return p >> 16 & 0xFF; }
inline int Green(uint32_t p) { return p >> 8 & 0xFF; }
inline int Blue(uint32_t p) { return p & 0xFF; }
inline bool Lit(uint32_t p) { return Red(p) + Green(p) + Blue(p) > 60; }

// Within tolerance per channel of an opaque colour.
inline bool Near(uint32_t p, uint32_t argb, int tolerance = 24) {
    return std::abs(Red(p) - Red(argb)) <= tolerance && std::abs(Green(p) - Green(argb)) <= tolerance &&
           std::abs(Blue(p) - Blue(argb)) <= tolerance;
}

struct Box {
    int x0 = 1 << 30, y0 = 1 << 30, x1 = -1, y1 = -1;  // inclusive; empty while x1 < x0
    int count = 0;
    bool Empty() const { return count == 0; }
};

// The lit pixels inside [x, x + w) x [y, y + h).
inline Box LitIn(DeviceContext dc, int x, int y, int w, int h) {
    Box b;
    for (int j = y; j < y + h; ++j)
        for (int i = x; i < x + w; ++i)
            if (Lit(PixelAt(dc, i, j))) {
                ++b.count;
                if (i < b.x0) b.x0 = i;
                if (j < b.y0) b.y0 = j;
                if (i > b.x1) b.x1 = i;
                if (j > b.y1) b.y1 = j;
            }
    return b;
}

// Pixels near colour argb inside the rectangle.
inline int CountNear(DeviceContext dc, int x, int y, int w, int h, uint32_t argb, int tolerance = 24) {
    int n = 0;
    for (int j = y; j < y + h; ++j)
        for (int i = x; i < x + w; ++i) n += Near(PixelAt(dc, i, j), argb, tolerance);
    return n;
}

}  // namespace halvex::probe
