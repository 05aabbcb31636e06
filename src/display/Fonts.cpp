#include "display/Fonts.h"

#include <cairo-ft.h>
#include <cairo.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_TRUETYPE_TABLES_H

#include <array>
#include <string>

namespace halvex {

namespace {

constexpr const char* kTahomaRegular = "/usr/share/wine/fonts/tahoma.ttf";
constexpr const char* kTahomaBold = "/usr/share/wine/fonts/tahomabd.ttf";
constexpr const char* kFallbackRegular = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";
constexpr const char* kFallbackBold = "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf";

constexpr int kFontCount = 6;
constexpr int kFaceCount = 2;  // Tahoma, fallback

// The platform picks the bold face from weight 600 on when only regular and bold exist.
bool isBold(int weight) { return weight >= 600; }

struct LoadedFace {
    FT_Face ft = nullptr;
    cairo_font_face_t* cairo = nullptr;
};

}  // namespace

FontSpec SpecOf(FontId id) {
    switch (id) {
        case FontId::CduLarge: return {-17, 15, 500};
        case FontId::CduSmall: return {-12, 14, 600};
        case FontId::Ehsi20: return {20, 20, 500};
        case FontId::Ehsi20Bold: return {20, 20, 700};
        case FontId::Ehsi24: return {24, 24, 500};
        case FontId::Ehsi28: return {28, 24, 500};
    }
    return {-12, 0, 400};
}

struct FontSet::Impl {
    FT_Library library = nullptr;
    // [bold][face]
    std::array<std::array<LoadedFace, kFaceCount>, 2> faces{};
    std::array<std::array<cairo_scaled_font_t*, kFaceCount>, kFontCount> scaled{};
    cairo_font_face_t* toy = nullptr;  // when no file loads at all

    LoadedFace load(const char* path) {
        LoadedFace f;
        if (!library || FT_New_Face(library, path, 0, &f.ft) != 0) {
            f.ft = nullptr;
            return f;
        }
        f.cairo = cairo_ft_font_face_create_for_ft_face(f.ft, 0);
        return f;
    }

    // Em height and horizontal stretch from the platform's height and average-width rules.
    static void sizeOf(FT_Face ft, const FontSpec& spec, double& emPx, double& stretchX) {
        emPx = spec.height < 0 ? -spec.height : spec.height;
        stretchX = 1.0;
        if (!ft) return;
        const auto* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(ft, FT_SFNT_OS2));
        const double upem = ft->units_per_EM > 0 ? ft->units_per_EM : 2048;
        if (os2 && spec.height > 0 && os2->usWinAscent + os2->usWinDescent > 0)
            emPx = spec.height * upem / (os2->usWinAscent + os2->usWinDescent);
        if (os2 && spec.width > 0 && os2->xAvgCharWidth > 0) stretchX = spec.width / (os2->xAvgCharWidth * emPx / upem);
    }

    cairo_scaled_font_t* make(FontId id, int face) {
        const FontSpec spec = SpecOf(id);
        const int bold = isBold(spec.weight) ? 1 : 0;
        const LoadedFace& primary = faces[static_cast<size_t>(bold)][0];
        const LoadedFace& chosen = faces[static_cast<size_t>(bold)][static_cast<size_t>(face)];
        double emPx = 0, stretchX = 1;
        sizeOf(primary.ft, spec, emPx, stretchX);  // the fallback matches Tahoma's size and stretch
        cairo_font_face_t* cf = chosen.cairo ? chosen.cairo : primary.cairo;
        if (!cf) {
            if (!toy) toy = cairo_toy_font_face_create("sans-serif", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_NORMAL);
            cf = toy;
        }
        cairo_matrix_t fontMatrix, ctm;
        cairo_matrix_init_scale(&fontMatrix, emPx * stretchX, emPx);
        cairo_matrix_init_identity(&ctm);
        cairo_font_options_t* options = cairo_font_options_create();
        cairo_font_options_set_antialias(options, CAIRO_ANTIALIAS_GRAY);
        cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_OFF);
        cairo_scaled_font_t* sf = cairo_scaled_font_create(cf, &fontMatrix, &ctm, options);
        cairo_font_options_destroy(options);
        return sf;
    }
};

FontSet& FontSet::Shared() {
    static FontSet* set = new FontSet;  // lives as long as the process: cairo caches its faces
    return *set;
}

FontSet::FontSet() : impl_(new Impl) {
    if (FT_Init_FreeType(&impl_->library) != 0) impl_->library = nullptr;
    impl_->faces[0][0] = impl_->load(kTahomaRegular);
    impl_->faces[1][0] = impl_->load(kTahomaBold);
    impl_->faces[0][1] = impl_->load(kFallbackRegular);
    impl_->faces[1][1] = impl_->load(kFallbackBold);
    tahomaLoaded_ = impl_->faces[0][0].ft && impl_->faces[1][0].ft;
}

cairo_scaled_font_t* FontSet::Scaled(FontId id, int face) {
    auto& slot = impl_->scaled[static_cast<size_t>(id)][static_cast<size_t>(face ? 1 : 0)];
    if (!slot) slot = impl_->make(id, face ? 1 : 0);
    return slot;
}

cairo_font_face_t* FontSet::Face(bool bold) {
    cairo_font_face_t* f = impl_->faces[bold ? 1 : 0][0].cairo;
    if (f) return f;
    if (!impl_->toy) impl_->toy = cairo_toy_font_face_create("sans-serif", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_NORMAL);
    return impl_->toy;
}

GlyphRef FontSet::Glyph(FontId id, uint32_t codePoint) {
    const int bold = isBold(SpecOf(id).weight) ? 1 : 0;
    for (int face = 0; face < kFaceCount; ++face) {
        FT_Face ft = impl_->faces[static_cast<size_t>(bold)][static_cast<size_t>(face)].ft;
        if (!ft) continue;
        const FT_UInt index = FT_Get_Char_Index(ft, codePoint);
        if (index != 0) return {face, index};
    }
    if (impl_->faces[static_cast<size_t>(bold)][0].ft) return {0, 0};  // the missing-glyph box
    // No font file at all: let cairo map the character on its own face.
    cairo_scaled_font_t* sf = Scaled(id, 0);
    char utf8[5] = {};
    if (codePoint < 0x80) {
        utf8[0] = static_cast<char>(codePoint);
    } else {
        utf8[0] = '?';
    }
    cairo_glyph_t* glyphs = nullptr;
    int count = 0;
    GlyphRef ref;
    if (cairo_scaled_font_text_to_glyphs(sf, 0, 0, utf8, -1, &glyphs, &count, nullptr, nullptr, nullptr) ==
            CAIRO_STATUS_SUCCESS &&
        count > 0)
        ref.index = glyphs[0].index;
    cairo_glyph_free(glyphs);
    return ref;
}

double FontSet::Ascent(FontId id) {
    cairo_font_extents_t e;
    cairo_scaled_font_extents(Scaled(id, 0), &e);
    return e.ascent;
}

double FontSet::Descent(FontId id) {
    cairo_font_extents_t e;
    cairo_scaled_font_extents(Scaled(id, 0), &e);
    return e.descent;
}

}  // namespace halvex
