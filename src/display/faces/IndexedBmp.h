// IndexedBmp: a picture written as an uncompressed palette BMP (8 or 4 bits per pixel), the form
// the Windows resource file takes its bitmaps in.
#pragma once

#include <string>

#include "display/DeviceContext.h"

namespace halvex::faces {

// 8 bits: a 6 x 6 x 6 colour cube and a 40-step grey ramp; 4 bits: the 16 standard colours.
// Each pixel takes its nearest palette colour. False when the file cannot be written.
bool WriteIndexedBmp(DeviceContext dc, const std::string& path, int bitsPerPixel);

}  // namespace halvex::faces
