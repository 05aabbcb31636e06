// FastCopy: the CDU's cheap copy path: the canvas turned into a bottom-up 24-bit row image (the
// platform's device-independent bitmap layout) and stretched onto the device context with
// nearest-neighbour integer scaling.
#pragma once

#include <cstdint>
#include <vector>

#include "display/DeviceContext.h"

namespace halvex {

// Rows of width x 3 bytes (blue, green, red), the first row the canvas's bottom one.
struct BottomUpImage {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> rows;
};

void CopyBottomUp(DeviceContext canvas, BottomUpImage& out);
// Stretches the whole image into (x, y, width, height), truncated to integers and clipped to
// the device context.
void StretchBottomUp(const BottomUpImage& image, DeviceContext dc, float x, float y, float width, float height);

}  // namespace halvex
