#include "GaugePictures.h"

#include <cmath>

#include "display/CduRenderer.h"

namespace halvex::cli {

bool WriteCduPicture(FmsCore& core, const std::string& path, float scale) {
    const int width = static_cast<int>(std::lround(500 * scale)), height = static_cast<int>(std::lround(559 * scale));
    ScopedContext gauge(width, height);
    DrawSurface& surface = core.Cdu()->Surface();
    surface.BindTarget(gauge.get());
    core.SetCduScale(width / 500.0f, height / 559.0f);  // as the gauge callback computes it
    const SurfacePlacement& p = surface.Placement();
    RenderCdu(surface, p.x * p.scaleX, p.y * p.scaleY, p.width * p.scaleX, p.height * p.scaleY);
    surface.BindTarget(nullptr);
    return WritePng(gauge.get(), path);
}

}  // namespace halvex::cli
