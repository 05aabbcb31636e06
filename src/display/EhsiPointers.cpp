// The rotated pointer symbols: course pointer with deviation bar, and the two bearing pointers.
#include "display/EhsiLayers.h"
#include "display/EhsiValues.h"

namespace halvex::ehsi {

namespace {

class CoursePointerLayer : public EhsiLayer {
public:
    void Paint(DrawSurface& s, EhsiRenderer& r) override {
        EhsiSource& src = r.Source();
        const EhsiSourceId main = r.MainSource();
        const float heading = MagneticHeading(src);
        const float needle = LateralNeedle(src, main);
        s.RotateAboutCentre(CourseDeg(src, main, heading) - heading);
        const Pen dots{kWhite, 2};
        for (int k = 0; k < 5; ++k) s.DrawEllipse(dots, 99.0f + 45.0f * k, 192, 6, 6);
        const Pen pointer{kGreen, 8};
        s.DrawLine(pointer, 192, 80, 192, 120);   // arrow shaft
        s.DrawLine(pointer, 177, 100, 207, 100);  // cross bar
        s.DrawLine(pointer, 192, 264, 192, 304);  // tail
        const float x = NeedleOffsetPx(needle) + kCentre;
        s.DrawLine(pointer, x, 122, x, 262);  // deviation bar
    }
};

class BearingPointerLayer : public EhsiLayer {
public:
    explicit BearingPointerLayer(bool doubleLine) : doubleLine_(doubleLine) {}
    void Paint(DrawSurface& s, EhsiRenderer& r) override {
        const EhsiSourceId source = doubleLine_ ? r.Pointer2Source() : r.Pointer1Source();
        s.RotateAboutCentre(RelativeBearing(r.Source(), source));
        const Pen pen{ColourOf(source), 5};
        if (doubleLine_) {
            s.DrawLine(pen, 215, 71, 195, 51);
            s.DrawLine(pen, 169, 71, 189, 51);
            s.DrawLine(pen, 187, 334, 187, 314);
            s.DrawLine(pen, 197, 334, 197, 314);
        } else {
            const PointF head[] = {{212, 60}, {192, 40}, {172, 60}};
            s.DrawPolyline(pen, head, 3);
            s.DrawLine(pen, 192, 344, 192, 324);
        }
    }

private:
    bool doubleLine_;
};

}  // namespace

std::shared_ptr<EhsiLayer> MakeCoursePointerLayer() { return std::make_shared<CoursePointerLayer>(); }
std::shared_ptr<EhsiLayer> MakeBearingPointer2Layer() { return std::make_shared<BearingPointerLayer>(true); }
std::shared_ptr<EhsiLayer> MakeBearingPointer1Layer() { return std::make_shared<BearingPointerLayer>(false); }

}  // namespace halvex::ehsi
