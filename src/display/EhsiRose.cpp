// The compass rose with its labels, ticks, lubber line and heading readout; the heading bug.
#include <cmath>

#include "display/EhsiLayers.h"
#include "display/EhsiValues.h"

namespace halvex::ehsi {

namespace {

constexpr float kDegToRad = 3.14159265f / 180.0f;

class CompassRoseLayer : public EhsiLayer {
public:
    void Paint(DrawSurface& s, EhsiRenderer& r) override {
        static const char* const kLabels[12] = {"N", "3", "6", "E", "12", "15", "S", "21", "24", "W", "30", "33"};
        const float heading = MagneticHeading(r.Source());
        const float turn = std::isfinite(heading) ? heading : 0.0f;
        const Pen major{kWhite, 3}, minor{kWhite, 2};
        for (int k = 0; k < 12; ++k) {
            // The label's place turns with the card; the text itself stays upright.
            const float a = (30.0f * k - turn) * kDegToRad;
            const float x = kCentre - (84 - kCentre) * std::sin(a), y = kCentre + (84 - kCentre) * std::cos(a);
            s.ResetTransform();
            s.DrawTextAt(kLabels[k], FontId::Ehsi24, kWhite, x, y, HAlign::Centre);
            s.RotateAboutCentre(30.0f * k - turn);
            s.DrawLine(major, 192, 40, 192, 70);
        }
        for (int k = 0; k < 36; ++k) {
            s.RotateAboutCentre(10.0f * k - turn);
            s.DrawLine(minor, 192, 40, 192, 60);
            s.RotateAboutCentre(10.0f * k - turn + 5);
            s.DrawLine(minor, 192, 40, 192, 48);
        }
        for (int k = 1; k <= 7; ++k) {  // fixed marks: they do not turn with the heading
            s.RotateAboutCentre(45.0f * k);
            s.DrawLine(minor, 192, 35, 192, 22);
        }
        s.ResetTransform();
        const PointF lubber[] = {{192, 38}, {197, 28}, {187, 28}};
        s.FillPolygon(kWhite, lubber, 3);
        // Readout of the normalised heading: a negative or wild value must still read 001-360.
        const std::string readout = ThreeDigits(Truncate(Normalise(Normalise(heading) + 0.5f)));
        s.DrawTextAt(readout, FontId::Ehsi28, kWhite, 192, 20, HAlign::Centre);
        s.DrawEllipse(minor, 212, 10, 6, 6);
    }
};

class HeadingBugLayer : public EhsiLayer {
public:
    void Paint(DrawSurface& s, EhsiRenderer& r) override {
        EhsiSource& src = r.Source();
        s.RotateAboutCentre(src.HeadingBugDeg() - MagneticHeading(src));
        const PointF bug[] = {{174, 29}, {187, 29}, {192, 39}, {197, 29}, {210, 29}, {210, 40}, {174, 40}};
        s.FillPolygon(kBugOrange, bug, 7);
    }
};

}  // namespace

std::shared_ptr<EhsiLayer> MakeCompassRoseLayer() { return std::make_shared<CompassRoseLayer>(); }
std::shared_ptr<EhsiLayer> MakeHeadingBugLayer() { return std::make_shared<HeadingBugLayer>(); }

}  // namespace halvex::ehsi
