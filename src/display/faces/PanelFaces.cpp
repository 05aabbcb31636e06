// The autopilot panel with its annunciators, the LNAV toggle and button, the core's icon and
// the start-up picture.
#include <cairo.h>

#include <cmath>

#include "display/faces/FaceDrawings.h"
#include "display/faces/FacePainter.h"

namespace halvex::faces {

namespace {

struct Annunciator {
    int id;
    int x, y;
    const char* legend;
};
// Positions as the panel's element chain places them; legends name the modes that light them.
constexpr Annunciator kAnnunciators[] = {
    {10, 50, 4, "LNAV"}, {11, 51, 77, "VNAV"}, {12, 110, 4, "HDG"},  {109, 120, 77, "ALT"},
    {116, 165, 4, "LOC"}, {115, 176, 77, "VS"}, {114, 232, 4, "APP"}, {113, 234, 77, "FD"},
    {112, 289, 4, "SPD"}, {111, 347, 4, "A/T"}, {110, 404, 4, "AP"},
};

const Annunciator* findAnnunciator(int id) {
    for (const Annunciator& a : kAnnunciators)
        if (a.id == id) return &a;
    return nullptr;
}

}  // namespace

void PaintAutopilotPanel(cairo_t* cr) {
    Bezel(cr, 500, 158);
    for (const Annunciator& a : kAnnunciators) Lamp(cr, a.x, a.y, kAnnunciatorWidth, kAnnunciatorHeight, a.legend, false);
    KeyCap(cr, 54, 28, 48, 38, "LNAV", 11);
    KeyCap(cr, 112, 28, 48, 38, "HDG", 11);
    KeyCap(cr, 54, 102, 48, 38, "VNAV", 11);
    KeyCap(cr, 112, 102, 48, 38, "ALT", 11);
    KeyCap(cr, 227, 28, 48, 38, "APP", 11);
    KeyCap(cr, 227, 102, 48, 38, "F/D", 11);
    KeyCap(cr, 398, 28, 48, 38, "A/P", 11);
    Label(cr, "AP85", 470, 140, 12, 0xB8BCC4);
}

void PaintAnnunciator(cairo_t* cr, int id) {
    const Annunciator* a = findAnnunciator(id);
    Lamp(cr, 0, 0, kAnnunciatorWidth, kAnnunciatorHeight, a ? a->legend : "", true);
}

void PaintLnavToggle(cairo_t* cr, bool lit) {
    FillRect(cr, 0, 0, 64, 64, kBezelEdge);
    RoundedRect(cr, 11, 11, 52, 52, 6);
    SetRgb(cr, kBezel);
    cairo_fill(cr);
    Lamp(cr, 15, 15, 44, 18, "LNAV", lit);
    KeyCap(cr, 17, 37, 40, 22, lit ? "ON" : "OFF", 10);
}

void PaintLnavButton(cairo_t* cr, bool lit) {
    FillRect(cr, 0, 0, 54, 43, kBezelEdge);
    KeyCap(cr, 4, 4, 49, 38, "", 0);
    Lamp(cr, 8, 13, 41, 18, "LNAV", lit);
}

void PaintCoreIcon(cairo_t* cr) {
    FillRect(cr, 0, 0, 32, 32, 0x000080);
    SetRgb(cr, 0x00FFFF);
    cairo_set_line_width(cr, 2);
    cairo_arc(cr, 16, 16, 11, 0, 2 * M_PI);
    cairo_stroke(cr);
    cairo_move_to(cr, 16, 6);  // a course arrow through the rose
    cairo_line_to(cr, 16, 26);
    cairo_stroke(cr);
    cairo_move_to(cr, 16, 4);
    cairo_line_to(cr, 21, 11);
    cairo_line_to(cr, 11, 11);
    cairo_close_path(cr);
    SetRgb(cr, 0xFFFFFF);
    cairo_fill(cr);
}

void PaintStartupPicture(cairo_t* cr) {
    cairo_pattern_t* sky = cairo_pattern_create_linear(0, 0, 0, 300);
    cairo_pattern_add_color_stop_rgb(sky, 0, 0.05, 0.10, 0.25);
    cairo_pattern_add_color_stop_rgb(sky, 1, 0.20, 0.35, 0.60);
    cairo_rectangle(cr, 0, 0, 400, 300);
    cairo_set_source(cr, sky);
    cairo_fill(cr);
    cairo_pattern_destroy(sky);
    // A route across the picture, waypoints as stars.
    SetRgb(cr, 0xFF64FF);
    cairo_set_line_width(cr, 3);
    const double route[][2] = {{40, 230}, {130, 170}, {230, 185}, {340, 90}};
    cairo_move_to(cr, route[0][0], route[0][1]);
    for (const auto& p : route) cairo_line_to(cr, p[0], p[1]);
    cairo_stroke(cr);
    for (const auto& p : route) {
        cairo_arc(cr, p[0], p[1], 5, 0, 2 * M_PI);
        SetRgb(cr, 0xFFFFFF);
        cairo_fill(cr);
    }
    Label(cr, "HALVEX FMS ZOLAN", 200, 40, 26, 0xFFFFFF);
    Label(cr, "Loading navigation data...", 200, 270, 14, 0xC8D0E0, false);
}

}  // namespace halvex::faces
