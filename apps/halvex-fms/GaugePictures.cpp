#include "GaugePictures.h"

#include "display/CduRenderer.h"
#include "display/faces/Faces.h"
#include "display/faces/KeyLabels.h"

namespace halvex::cli {

namespace {
// The face at scale, ready to be painted on; null for an unusable scale.
DeviceContext face(int id, float scale) {
    faces::KeyLabels labels;
    if (id == 8) labels = faces::ReadKeyLabels(CduUnit::kScriptFile);  // the working directory is the root
    return faces::RenderFace(id, scale, labels);
}
}  // namespace

bool WriteCduPicture(FmsCore& core, const std::string& path, float scale) {
    DeviceContext gauge = face(8, scale);
    if (!gauge) return false;
    DrawSurface& surface = core.Cdu()->Surface();
    surface.BindTarget(gauge);
    // As the gauge callback computes the scale from the element's image size.
    core.SetCduScale(ContextWidth(gauge) * 0.002f, ContextHeight(gauge) * 0.0017889087f);
    const SurfacePlacement& p = surface.Placement();
    RenderCdu(surface, p.x * p.scaleX, p.y * p.scaleY, p.width * p.scaleX, p.height * p.scaleY);
    surface.BindTarget(nullptr);
    const bool ok = WritePng(gauge, path);
    FreeDeviceContext(gauge);
    return ok;
}

bool WriteEhsiPicture(EhsiRenderer& renderer, const std::string& path, float scale) {
    DeviceContext gauge = face(118, scale);
    if (!gauge) return false;
    DrawSurface& surface = renderer.Surface();
    surface.BindTarget(gauge);
    surface.SetScale(ContextWidth(gauge) * 0.0020325202f, ContextHeight(gauge) * 0.0020325202f);
    renderer.Draw();
    surface.BindTarget(nullptr);
    const bool ok = WritePng(gauge, path);
    FreeDeviceContext(gauge);
    return ok;
}

}  // namespace halvex::cli
