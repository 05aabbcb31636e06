// Fonts: the six display fonts on the "Tahoma" face, loaded by file through FreeType once per
// process, with a fallback face for characters Tahoma lacks (as the platform's font linking
// would supply them).
#pragma once

#include <cstdint>

typedef struct _cairo_scaled_font cairo_scaled_font_t;
typedef struct _cairo_font_face cairo_font_face_t;

namespace halvex {

enum class FontId { CduLarge, CduSmall, Ehsi20, Ehsi20Bold, Ehsi24, Ehsi28 };

// A font as the platform's font call describes it: a negative height is the character (em)
// height, a positive one the cell height; width is the average character width; weight 100-900.
struct FontSpec {
    int height;
    int width;
    int weight;
};
FontSpec SpecOf(FontId id);

// One glyph ready to draw: the face it comes from (0 Tahoma, 1 fallback) and its index there.
struct GlyphRef {
    int face = 0;
    unsigned long index = 0;
};

class FontSet {
public:
    static FontSet& Shared();  // process-wide, built on first use

    // The scaled font for a face of id; never null (a cairo "nil" font when loading failed).
    cairo_scaled_font_t* Scaled(FontId id, int face);
    GlyphRef Glyph(FontId id, uint32_t codePoint);
    bool HasTahoma() const { return tahomaLoaded_; }
    // The Tahoma face itself, for drawings at any size (the faces of the gauges).
    cairo_font_face_t* Face(bool bold);

    // Ascent and descent in pixels of the primary face at id's size (layout of a line box).
    double Ascent(FontId id);
    double Descent(FontId id);

private:
    FontSet();
    FontSet(const FontSet&) = delete;
    FontSet& operator=(const FontSet&) = delete;
    struct Impl;
    Impl* impl_;
    bool tahomaLoaded_ = false;
};

}  // namespace halvex
