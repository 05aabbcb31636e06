// FacePainter: the drawing vocabulary of the faces: bezels, key caps, lamps, knobs, labels.
#pragma once

#include <cstdint>
#include <string>

typedef struct _cairo cairo_t;

namespace halvex::faces {

// Colours of the faces (0xRRGGBB).
constexpr uint32_t kBezel = 0x3A3D42;
constexpr uint32_t kBezelEdge = 0x24262A;
constexpr uint32_t kBezelLight = 0x5A5E66;
constexpr uint32_t kKeyCap = 0x55595F;
constexpr uint32_t kKeyCapLight = 0x72777F;
constexpr uint32_t kKeyLabel = 0xF2F2F2;
constexpr uint32_t kScreen = 0x000000;
constexpr uint32_t kLampOff = 0x2B2D31;
constexpr uint32_t kLampOn = 0x3CF05A;
constexpr uint32_t kAmber = 0xFFB000;

void SetRgb(cairo_t* cr, uint32_t rgb);
void FillRect(cairo_t* cr, double x, double y, double w, double h, uint32_t rgb);
void RoundedRect(cairo_t* cr, double x, double y, double w, double h, double radius);
// Panel background with a raised edge.
void Bezel(cairo_t* cr, double w, double h);
// A recessed black window (screen) with a thin frame.
void Window(cairo_t* cr, double x, double y, double w, double h);
// A key cap filling the rectangle, its label centred (words on lines of their own when they do
// not fit); fontPx the label's height.
void KeyCap(cairo_t* cr, double x, double y, double w, double h, const std::string& label, double fontPx);
// Text centred at (x, y) in the face's sans-serif, bold or not.
void Label(cairo_t* cr, const std::string& text, double x, double y, double fontPx, uint32_t rgb, bool bold = true);
// A lamp (annunciator) with its legend, lit or not.
void Lamp(cairo_t* cr, double x, double y, double w, double h, const std::string& legend, bool lit);
// A round knob centred in the rectangle.
void Knob(cairo_t* cr, double x, double y, double w, double h, const std::string& label);

}  // namespace halvex::faces
