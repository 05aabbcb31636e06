#include "display/faces/Faces.h"

#include <cairo.h>

#include <cmath>

#include "display/faces/FaceDrawings.h"

namespace halvex::faces {

const std::vector<FaceInfo>& AllFaces() {
    static const std::vector<FaceInfo> faces = {
        {8, 500, 559, 8, "CDU"},
        {118, 492, 492, 8, "EHSI"},
        {9, 500, 158, 8, "autopilot panel"},
        {10, kAnnunciatorWidth, kAnnunciatorHeight, 8, "annunciator LNAV"},
        {11, kAnnunciatorWidth, kAnnunciatorHeight, 8, "annunciator VNAV"},
        {12, kAnnunciatorWidth, kAnnunciatorHeight, 8, "annunciator HDG"},
        {109, kAnnunciatorWidth, kAnnunciatorHeight, 8, "annunciator ALT"},
        {110, kAnnunciatorWidth, kAnnunciatorHeight, 8, "annunciator AP"},
        {111, kAnnunciatorWidth, kAnnunciatorHeight, 8, "annunciator A/T"},
        {112, kAnnunciatorWidth, kAnnunciatorHeight, 8, "annunciator SPD"},
        {113, kAnnunciatorWidth, kAnnunciatorHeight, 8, "annunciator FD"},
        {114, kAnnunciatorWidth, kAnnunciatorHeight, 8, "annunciator APP"},
        {115, kAnnunciatorWidth, kAnnunciatorHeight, 8, "annunciator VS"},
        {116, kAnnunciatorWidth, kAnnunciatorHeight, 8, "annunciator LOC"},
        {2, 64, 64, 8, "LNAV toggle"},
        {122, 64, 64, 8, "LNAV toggle, lit"},
        {125, 54, 43, 8, "LNAV button"},
        {124, 54, 43, 8, "LNAV button, lit"},
        {117, 32, 32, 4, "FMScore icon"},
        {121, 400, 300, 8, "start-up picture"},
    };
    return faces;
}

const FaceInfo* FindFace(int id) {
    for (const FaceInfo& f : AllFaces())
        if (f.id == id) return &f;
    return nullptr;
}

DeviceContext RenderFace(int id, double scale, const KeyLabels& labels) {
    const FaceInfo* info = FindFace(id);
    if (!info || !std::isfinite(scale) || scale <= 0) return nullptr;
    DeviceContext dc = NewDeviceContext(static_cast<int>(std::lround(info->width * scale)),
                                        static_cast<int>(std::lround(info->height * scale)));
    cairo_t* cr = cairo_create(dc);
    cairo_scale(cr, static_cast<double>(ContextWidth(dc)) / info->width,
                static_cast<double>(ContextHeight(dc)) / info->height);
    switch (id) {
        case 8: PaintCduFace(cr, labels); break;
        case 118: PaintEhsiFace(cr); break;
        case 9: PaintAutopilotPanel(cr); break;
        case 2: PaintLnavToggle(cr, false); break;
        case 122: PaintLnavToggle(cr, true); break;
        case 125: PaintLnavButton(cr, false); break;
        case 124: PaintLnavButton(cr, true); break;
        case 117: PaintCoreIcon(cr); break;
        case 121: PaintStartupPicture(cr); break;
        default: PaintAnnunciator(cr, id); break;
    }
    cairo_destroy(cr);
    cairo_surface_flush(dc);
    return dc;
}

}  // namespace halvex::faces
