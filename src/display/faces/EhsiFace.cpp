// The EHSI face: bezel, picture window, the six buttons and the two knobs.
#include <cairo.h>

#include "display/faces/FaceDrawings.h"
#include "display/faces/FacePainter.h"

namespace halvex::faces {

void PaintEhsiFace(cairo_t* cr) {
    Bezel(cr, 492, 492);
    Window(cr, 54, 54, 384, 384);
    KeyCap(cr, 3, 74, 44, 44, "NAV", 12);
    KeyCap(cr, 3, 137, 44, 44, "MAP", 12);
    KeyCap(cr, 3, 200, 44, 44, "", 12);  // two blank buttons between MAP and BRG
    KeyCap(cr, 3, 263, 44, 44, "", 12);
    KeyCap(cr, 3, 326, 44, 44, "BRG", 12);
    KeyCap(cr, 446, 105, 44, 44, "VUE", 12);
    KeyCap(cr, 446, 231, 44, 44, "", 12);
    KeyCap(cr, 446, 292, 44, 44, "", 12);
    // Range arrows.
    SetRgb(cr, kKeyLabel);
    cairo_move_to(cr, 468, 243);
    cairo_line_to(cr, 479, 261);
    cairo_line_to(cr, 457, 261);
    cairo_close_path(cr);
    cairo_fill(cr);
    cairo_move_to(cr, 468, 324);
    cairo_line_to(cr, 479, 306);
    cairo_line_to(cr, 457, 306);
    cairo_close_path(cr);
    cairo_fill(cr);
    Knob(cr, 1, 405, 50, 40, "CRS");
    Knob(cr, 442, 405, 50, 40, "HDG");
    Label(cr, "RANGE", 468, 220, 9, 0xB8BCC4);
}

}  // namespace halvex::faces
