// Gauge pictures for the command line: a gauge drawn as the panel host would show it (face
// bitmap and the module's painting) and written as PNG.
#pragma once

#include <string>

#include "core/FmsCore.h"

namespace halvex::cli {

// The CDU gauge at scale times 500 x 559: the face, and the screen painted into its window
// through the copy path the configuration chooses. False when the file cannot be written.
bool WriteCduPicture(FmsCore& core, const std::string& path, float scale);

}  // namespace halvex::cli
