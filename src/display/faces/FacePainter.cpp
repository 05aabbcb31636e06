#include "display/faces/FacePainter.h"

#include <cairo.h>

#include <cmath>
#include <sstream>
#include <vector>

#include "display/Fonts.h"

namespace halvex::faces {

void SetRgb(cairo_t* cr, uint32_t rgb) {
    cairo_set_source_rgb(cr, (rgb >> 16 & 0xFF) / 255.0, (rgb >> 8 & 0xFF) / 255.0, (rgb & 0xFF) / 255.0);
}

void FillRect(cairo_t* cr, double x, double y, double w, double h, uint32_t rgb) {
    cairo_rectangle(cr, x, y, w, h);
    SetRgb(cr, rgb);
    cairo_fill(cr);
}

void RoundedRect(cairo_t* cr, double x, double y, double w, double h, double r) {
    r = std::fmin(r, std::fmin(w, h) / 2);
    cairo_new_sub_path(cr);
    cairo_arc(cr, x + w - r, y + r, r, -M_PI / 2, 0);
    cairo_arc(cr, x + w - r, y + h - r, r, 0, M_PI / 2);
    cairo_arc(cr, x + r, y + h - r, r, M_PI / 2, M_PI);
    cairo_arc(cr, x + r, y + r, r, M_PI, 3 * M_PI / 2);
    cairo_close_path(cr);
}

void Bezel(cairo_t* cr, double w, double h) {
    FillRect(cr, 0, 0, w, h, kBezelEdge);
    RoundedRect(cr, 2, 2, w - 4, h - 4, 10);
    cairo_pattern_t* shade = cairo_pattern_create_linear(0, 0, 0, h);
    cairo_pattern_add_color_stop_rgb(shade, 0, 0x4A / 255.0, 0x4E / 255.0, 0x55 / 255.0);
    cairo_pattern_add_color_stop_rgb(shade, 1, 0x30 / 255.0, 0x33 / 255.0, 0x38 / 255.0);
    cairo_set_source(cr, shade);
    cairo_fill(cr);
    cairo_pattern_destroy(shade);
}

void Window(cairo_t* cr, double x, double y, double w, double h) {
    FillRect(cr, x - 4, y - 4, w + 8, h + 8, kBezelEdge);
    FillRect(cr, x - 2, y - 2, w + 4, h + 4, 0x15161A);
    FillRect(cr, x, y, w, h, kScreen);
}

void Label(cairo_t* cr, const std::string& text, double x, double y, double fontPx, uint32_t rgb, bool bold) {
    cairo_set_font_face(cr, FontSet::Shared().Face(bold));
    cairo_set_font_size(cr, fontPx);
    cairo_text_extents_t e;
    cairo_text_extents(cr, text.c_str(), &e);
    cairo_move_to(cr, x - e.x_advance / 2, y + fontPx * 0.36);  // capitals centred on y
    SetRgb(cr, rgb);
    cairo_show_text(cr, text.c_str());
}

void KeyCap(cairo_t* cr, double x, double y, double w, double h, const std::string& label, double fontPx) {
    RoundedRect(cr, x, y, w, h, 4);
    SetRgb(cr, kBezelEdge);
    cairo_fill(cr);
    RoundedRect(cr, x + 1.5, y + 1, w - 3, h - 3, 3);
    cairo_pattern_t* shade = cairo_pattern_create_linear(0, y, 0, y + h);
    cairo_pattern_add_color_stop_rgb(shade, 0, 0x78 / 255.0, 0x7D / 255.0, 0x85 / 255.0);
    cairo_pattern_add_color_stop_rgb(shade, 1, 0x4C / 255.0, 0x50 / 255.0, 0x56 / 255.0);
    cairo_set_source(cr, shade);
    cairo_fill(cr);
    cairo_pattern_destroy(shade);
    if (label.empty()) return;
    // Split into lines when the label is wider than the cap.
    cairo_set_font_face(cr, FontSet::Shared().Face(true));
    cairo_set_font_size(cr, fontPx);
    cairo_text_extents_t e;
    cairo_text_extents(cr, label.c_str(), &e);
    std::vector<std::string> lines{label};
    if (e.x_advance > w - 4 && label.find(' ') != std::string::npos) {
        lines.clear();
        std::istringstream words(label);
        for (std::string word; words >> word;) lines.push_back(word);
    }
    const double lineGap = fontPx * 1.1;
    const double top = y + h / 2 - lineGap * (static_cast<double>(lines.size()) - 1) / 2;
    for (size_t i = 0; i < lines.size(); ++i) Label(cr, lines[i], x + w / 2, top + lineGap * static_cast<double>(i), fontPx, kKeyLabel);
}

void Lamp(cairo_t* cr, double x, double y, double w, double h, const std::string& legend, bool lit) {
    RoundedRect(cr, x, y, w, h, 2);
    SetRgb(cr, 0x101113);
    cairo_fill(cr);
    RoundedRect(cr, x + 1, y + 1, w - 2, h - 2, 2);
    SetRgb(cr, lit ? 0x1E4A26 : kLampOff);
    cairo_fill(cr);
    Label(cr, legend, x + w / 2, y + h / 2, h * 0.62, lit ? kLampOn : 0x5C6068);
}

void Knob(cairo_t* cr, double x, double y, double w, double h, const std::string& label) {
    const double cx = x + w / 2, cy = y + h / 2, r = std::fmin(w, h) / 2 - 1;
    cairo_arc(cr, cx, cy, r, 0, 2 * M_PI);
    SetRgb(cr, kBezelEdge);
    cairo_fill(cr);
    cairo_pattern_t* shade = cairo_pattern_create_radial(cx - r / 3, cy - r / 3, 1, cx, cy, r);
    cairo_pattern_add_color_stop_rgb(shade, 0, 0.55, 0.57, 0.60);
    cairo_pattern_add_color_stop_rgb(shade, 1, 0.18, 0.19, 0.21);
    cairo_arc(cr, cx, cy, r - 2, 0, 2 * M_PI);
    cairo_set_source(cr, shade);
    cairo_fill(cr);
    cairo_pattern_destroy(shade);
    for (int k = 0; k < 24; ++k) {  // grip ridges
        const double a = k * M_PI / 12;
        cairo_move_to(cr, cx + (r - 2) * std::cos(a), cy + (r - 2) * std::sin(a));
        cairo_line_to(cr, cx + (r - 5) * std::cos(a), cy + (r - 5) * std::sin(a));
    }
    SetRgb(cr, 0x1A1B1E);
    cairo_set_line_width(cr, 1);
    cairo_stroke(cr);
    Label(cr, label, cx, cy, r * 0.55, kKeyLabel);
}

}  // namespace halvex::faces
