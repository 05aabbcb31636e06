// Gauge pictures for the command line: a gauge drawn as the panel host would show it (our face
// bitmap and the module's painting on it) and written as PNG.
#pragma once

#include <string>

#include "core/FmsCore.h"
#include "display/EhsiRenderer.h"

namespace halvex::cli {

// The CDU gauge at scale times 500 x 559: the face, and the screen painted into its window
// through the copy path the configuration chooses. False when the file cannot be written.
bool WriteCduPicture(FmsCore& core, const std::string& path, float scale);

// The EHSI gauge at scale times 492 x 492: the face, and one draw of the renderer on it.
bool WriteEhsiPicture(EhsiRenderer& renderer, const std::string& path, float scale);

}  // namespace halvex::cli
