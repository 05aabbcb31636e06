// The two text blocks: the main source (top left) and bearing pointer 1's source (bottom left).
#include <cstdio>

#include "display/EhsiLayers.h"
#include "display/EhsiValues.h"

namespace halvex::ehsi {

namespace {

std::string distanceText(float nm) {
    char text[48];
    std::snprintf(text, sizeof text, "%.1fnm", static_cast<double>(nm));
    return text;
}

class MainTextBlockLayer : public EhsiLayer {
public:
    void Paint(DrawSurface& s, EhsiRenderer& r) override {
        EhsiSource& src = r.Source();
        const EhsiSourceId main = r.MainSource();
        const uint32_t colour = ColourOf(main);
        static const char* const kLetters[3][4] = {{"N", "A", "V", "1"}, {"N", "A", "V", "2"}, {"F", "M", "S", "1"}};
        for (int i = 0; i < 4; ++i)
            s.DrawTextAt(kLetters[static_cast<int>(main)][i], FontId::Ehsi20Bold, colour, 9, 15.0f + 16.0f * i,
                         HAlign::Centre);
        const float heading = MagneticHeading(src);
        const std::string bearing = ThreeDigits(ShownBearing(heading, RelativeBearing(src, main)));
        s.DrawTextAt(std::string(NameOf(main)) + " " + bearing + "\xB0", FontId::Ehsi20Bold, colour, 40, 10, HAlign::Near);
        s.DrawTextAt(distanceText(DistanceNm(src, main)), FontId::Ehsi20Bold, colour, 40, 30, HAlign::Near);
        if (main == EhsiSourceId::Fms) return;  // the FMS has no course to show
        const std::string course = ThreeDigits(Truncate(Normalise(CourseDeg(src, main, heading)))) + "\xB0";
        s.DrawTextAt(course, FontId::Ehsi24, colour, 40, 70, HAlign::Centre);
    }
};

class Pointer1TextBlockLayer : public EhsiLayer {
public:
    void Paint(DrawSurface& s, EhsiRenderer& r) override {
        EhsiSource& src = r.Source();
        const EhsiSourceId source = r.Pointer1Source();
        const uint32_t colour = ColourOf(source);
        s.DrawTextAt(NameOf(source), FontId::Ehsi20Bold, colour, 3, 340, HAlign::Near);
        s.DrawTextAt(distanceText(DistanceNm(src, source)), FontId::Ehsi20Bold, colour, 3, 355, HAlign::Near);
        const std::string bearing = ThreeDigits(ShownBearing(MagneticHeading(src), RelativeBearing(src, source)));
        s.DrawTextAt(bearing + "\xB0", FontId::Ehsi20Bold, colour, 3, 370, HAlign::Near);
    }
};

}  // namespace

std::shared_ptr<EhsiLayer> MakeMainTextBlockLayer() { return std::make_shared<MainTextBlockLayer>(); }
std::shared_ptr<EhsiLayer> MakePointer1TextBlockLayer() { return std::make_shared<Pointer1TextBlockLayer>(); }

}  // namespace halvex::ehsi
