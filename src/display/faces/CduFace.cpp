// The CDU face: bezel, screen window, line-select keys, function keys and the keypad, each key
// where its mouse rectangle is and labelled as the page script uses it.
#include <cairo.h>

#include "display/faces/FaceDrawings.h"
#include "display/faces/FacePainter.h"

namespace halvex::faces {

namespace {

std::string labelOf(const KeyLabels& labels, int code) {
    const auto it = labels.find(code);
    return it == labels.end() ? std::string() : it->second;
}

void lineSelectKey(cairo_t* cr, double x, double y, bool left) {
    KeyCap(cr, x, y, 30, 20, "", 0);
    SetRgb(cr, kKeyLabel);
    cairo_set_line_width(cr, 2);
    cairo_move_to(cr, x + 8, y + 10);  // a dash pointing at the screen line
    cairo_line_to(cr, x + 22, y + 10);
    cairo_stroke(cr);
    // Tick from the key towards the screen row it selects.
    const double edge = left ? x + 30 : x;
    cairo_move_to(cr, edge + (left ? 4 : -4), y + 10);
    cairo_line_to(cr, edge + (left ? 26 : -26), y + 10);
    SetRgb(cr, kBezelLight);
    cairo_stroke(cr);
}

}  // namespace

void PaintCduFace(cairo_t* cr, const KeyLabels& labels) {
    Bezel(cr, 500, 559);
    Label(cr, "HALVEX ZOLAN", 250, 25, 13, 0xB8BCC4);
    Window(cr, 72, 51, 360, 256);
    for (int k = 0; k < 6; ++k) {
        lineSelectKey(cr, 8, 81 + 35 * k, true);
        lineSelectKey(cr, 464, 81 + 35 * k, false);
    }
    static const int kFunctionX[10] = {5, 56, 107, 158, 209, 260, 311, 362, 413, 464};
    for (int k = 0; k < 10; ++k) KeyCap(cr, kFunctionX[k], 344, 36, 34, labelOf(labels, -10 - k), 8.5);
    KeyCap(cr, 6, 297, 36, 34, labelOf(labels, -3), 9);
    KeyCap(cr, 464, 297, 36, 34, labelOf(labels, -2), 9);
    KeyCap(cr, 6, 408, 36, 34, labelOf(labels, -4), 8.5);
    KeyCap(cr, 464, 412, 32, 32, labelOf(labels, -1), 8.5);
    static const int kLetterX[7] = {174, 216, 258, 300, 342, 384, 426};
    static const int kLetterY[4] = {385, 430, 475, 520};
    for (int row = 0; row < 4; ++row)
        for (int col = 0; col < 7; ++col) {
            const int code = 'A' + row * 7 + col;
            std::string label;
            if (code <= 'Z') label = std::string(1, static_cast<char>(code));
            else label = code == 'Z' + 1 ? "SP" : "/";  // the last row ends with space and slash
            KeyCap(cr, kLetterX[col], kLetterY[row], 32, 32, label, 15);
        }
    static const int kDigitX[3] = {45, 87, 129};
    static const int kDigitY[3] = {388, 431, 475};
    for (int row = 0; row < 3; ++row)
        for (int col = 0; col < 3; ++col)
            KeyCap(cr, kDigitX[col], kDigitY[row], 32, 32, std::string(1, static_cast<char>('1' + row * 3 + col)), 15);
    KeyCap(cr, 45, 519, 32, 32, ".", 15);
    KeyCap(cr, 88, 519, 32, 32, "0", 15);
    KeyCap(cr, 130, 519, 32, 32, "+", 15);
}

}  // namespace halvex::faces
