// The EHSI picture probed at points its geometry fixes independently of the drawing code.
#include <gtest/gtest.h>

#include <cmath>

#include "display/FakeEhsiSource.h"
#include "PixelProbe.h"
#include "display/EhsiRenderer.h"
#include "display/EhsiValues.h"
#include "display/MapFrame.h"

namespace halvex {

namespace {

using probe::Near;

struct Ehsi {
    FakeEhsiSource src;
    EhsiRenderer renderer{src};
    ScopedContext gauge{492, 492};
    Ehsi() { renderer.Surface().BindTarget(gauge.get()); }
    void Draw() { renderer.Draw(); }
    uint32_t At(int x, int y) { return renderer.Surface().CanvasPixel(x, y); }
    void Press(int32_t code) {
        renderer.PushCode(code);
        renderer.Update();
    }
};

// The screen point of (x, y) turned clockwise by angleDeg about the picture's centre.
void turned(float x, float y, float angleDeg, int& ox, int& oy) {
    const double a = angleDeg * 3.14159265358979 / 180.0;
    ox = static_cast<int>(std::lround(192 + (x - 192) * std::cos(a) - (y - 192) * std::sin(a)));
    oy = static_cast<int>(std::lround(192 + (x - 192) * std::sin(a) + (y - 192) * std::cos(a)));
}

GeoPoint from(const GeoPoint& p, float bearingDeg, float nm) { return DestinationPoint(true, p, bearingDeg, nm); }

}  // namespace

TEST(EhsiPicture, LubberAndHeadingBugSitWhereTheRoseGeometryPutsThem) {
    for (float heading : {0.0f, 30.0f, 347.0f}) {
        Ehsi e;
        e.src.trueHeading = heading + 12;
        e.src.variation = 12;   // magnetic heading = heading
        e.src.bug = heading + 90;  // bug a quarter turn right of the lubber
        e.Draw();
        EXPECT_TRUE(Near(e.At(192, 35), ehsi::kWhite, 10)) << heading;
        EXPECT_FALSE(Near(e.At(192, 35), ehsi::kBugOrange, 40)) << heading;
        int x = 0, y = 0;
        turned(180, 35, 90, x, y);  // inside the bug's left wing
        EXPECT_TRUE(Near(e.At(x, y), ehsi::kBugOrange, 10)) << heading;
        turned(180, 35, 0, x, y);  // not at the lubber
        EXPECT_FALSE(Near(e.At(x, y), ehsi::kBugOrange, 40)) << heading;
    }
}

TEST(EhsiPicture, AHeadingBelowZeroReadsAsItsCompassValue) {
    Ehsi below, wrapped;
    below.src.trueHeading = 0, below.src.variation = 13;  // magnetic -13
    wrapped.src.trueHeading = 347, wrapped.src.variation = 0;
    below.Draw();
    wrapped.Draw();
    int differing = 0, lit = 0;
    for (int y = 4; y < 36; ++y)
        for (int x = 150; x < 235; ++x) {
            differing += below.At(x, y) != wrapped.At(x, y);
            lit += probe::Lit(below.At(x, y));
        }
    EXPECT_GT(lit, 40);
    EXPECT_EQ(differing, 0);  // "347" both times
}

TEST(EhsiPicture, FmsVerticalDeviationPinsTheBarAtFullScaleAndWritesItsValue) {
    Ehsi e;
    e.Press(1);
    e.Press(1);  // main source FMS
    e.src.phase = 2;
    e.src.verticalDeviation = 600;
    e.Draw();
    EXPECT_TRUE(Near(e.At(365, 282), ehsi::kGreen, 10));
    EXPECT_TRUE(Near(e.At(379, 282), ehsi::kGreen, 10));
    EXPECT_FALSE(Near(e.At(365, 192), ehsi::kGreen, 60));
    EXPECT_GT(probe::CountNear(e.renderer.Surface().Canvas(), 340, 294, 40, 20, ehsi::kWhite, 30), 10);
    EXPECT_TRUE(probe::LitIn(e.renderer.Surface().Canvas(), 340, 70, 40, 20).Empty());

    e.src.verticalDeviation = -600;
    e.Draw();
    EXPECT_TRUE(Near(e.At(365, 102), ehsi::kGreen, 10));
    EXPECT_GT(probe::CountNear(e.renderer.Surface().Canvas(), 340, 70, 40, 20, ehsi::kWhite, 30), 10);

    e.src.verticalDeviation = 250;  // within 500 ft: bar half way, no number
    e.Draw();
    EXPECT_TRUE(Near(e.At(365, 192 + 45), ehsi::kGreen, 10));  // 250 x 0.254 = 63.5 of 127: 45 px
    EXPECT_TRUE(probe::LitIn(e.renderer.Surface().Canvas(), 340, 294, 30, 20).Empty() ||
                probe::CountNear(e.renderer.Surface().Canvas(), 340, 294, 30, 20, ehsi::kWhite, 30) == 0);

    for (int32_t phase : {0, 1, 5}) {  // no vertical path: no scale at all
        e.src.phase = phase;
        e.Draw();
        EXPECT_TRUE(probe::LitIn(e.renderer.Surface().Canvas(), 364, 95, 20, 200).Empty()) << phase;
    }
}

TEST(EhsiPicture, CoursePointerTurnsWithTheCourseAndItsBarFollowsTheNeedle) {
    Ehsi e;
    e.src.trueHeading = 40;
    e.src.course[0] = 40;
    e.src.lateral[0] = 127;  // full scale right
    e.Draw();
    EXPECT_TRUE(Near(e.At(192, 100), ehsi::kGreen, 10));  // shaft
    EXPECT_TRUE(Near(e.At(192, 270), ehsi::kGreen, 10));  // tail
    EXPECT_TRUE(Near(e.At(282, 150), ehsi::kGreen, 10));  // bar 90 px right
    EXPECT_FALSE(Near(e.At(192, 150), ehsi::kGreen, 60));
    e.src.course[0] = 130;  // a quarter turn right of the heading
    e.src.lateral[0] = 0;
    e.Draw();
    int x = 0, y = 0;
    turned(192, 100, 90, x, y);
    EXPECT_TRUE(Near(e.At(x, y), ehsi::kGreen, 10));
    EXPECT_FALSE(Near(e.At(192, 100), ehsi::kGreen, 60));
    // FMS main source: the pointer stands straight up whatever NAV1's course.
    e.Press(1);
    e.Press(1);
    e.Draw();
    EXPECT_TRUE(Near(e.At(192, 100), ehsi::kGreen, 10));
    // ... and the upper block has no course line.
    EXPECT_TRUE(probe::LitIn(e.renderer.Surface().Canvas(), 20, 62, 40, 16).Empty());
    e.Press(1);
    e.Draw();
    EXPECT_FALSE(probe::LitIn(e.renderer.Surface().Canvas(), 20, 62, 40, 16).Empty());
}

TEST(EhsiPicture, MapDrawsTheActiveLegRedHeadingUpAroundTheAircraft) {
    Ehsi e;
    e.Press(2);  // map style
    const GeoPoint a = e.src.aircraft;
    const GeoPoint north5 = from(a, 0, 5), northEast = from(north5, 90, 5);
    e.src.active = {{a, "ORIG", true}, {north5, "ALPHA", true}, {northEast, "BRAVO", true}};
    e.src.trueHeading = 0;
    e.Draw();
    // Range 10: 19.2 px per nm; ALPHA at (192, 96), BRAVO at (288, 96).
    EXPECT_TRUE(Near(e.At(192, 150), ehsi::kRed, 12));
    EXPECT_TRUE(Near(e.At(240, 96), ehsi::kWhite, 12));
    EXPECT_TRUE(Near(e.At(288 + 5, 96), ehsi::kWhite, 12));  // BRAVO's star
    EXPECT_FALSE(probe::LitIn(e.renderer.Surface().Canvas(), 300, 86, 50, 20).Empty());  // its name
    EXPECT_TRUE(Near(e.At(192, 212), ehsi::kGreen, 10));  // aircraft symbol's base

    e.src.trueHeading = 90;  // turning right puts the northern leg on the left
    e.Draw();
    EXPECT_TRUE(Near(e.At(140, 192), ehsi::kRed, 12));
    EXPECT_FALSE(Near(e.At(192, 150), ehsi::kRed, 60));
}

TEST(EhsiPicture, ModifiedPlanIsDashedAndPathMarksAreCircledInTheirColours) {
    Ehsi e;
    e.Press(2);
    const GeoPoint a = e.src.aircraft;
    e.src.active = {{a, "A", false}, {from(a, 0, 5), "B", false}};
    e.src.modifying = true;
    e.src.modified = {{a, "A", false}, {from(a, 270, 8), "C", false}};
    e.src.marks = {{1, from(a, 90, 5)}, {4, from(a, 180, 5)}, {3, from(a, 45, 5)}};
    e.Draw();
    int red = 0, dark = 0;
    for (int x = 60; x < 180; ++x) {  // along the modified leg, westward
        red += Near(e.At(x, 192), ehsi::kRed, 30);
        dark += !probe::Lit(e.At(x, 192));
    }
    EXPECT_GT(red, 30);
    EXPECT_GT(dark, 10);
    EXPECT_TRUE(Near(e.At(192, 150), ehsi::kRed, 12));  // the active leg stays solid
    EXPECT_TRUE(Near(e.At(288 + 2, 192), ehsi::kMagenta, 40) || Near(e.At(288, 192 + 2), ehsi::kMagenta, 40));
    EXPECT_TRUE(Near(e.At(192 + 2, 288), ehsi::kGreen, 40) || Near(e.At(192, 288 + 2), ehsi::kGreen, 40));
    int x = 0, y = 0;
    turned(192, 96, 45, x, y);  // kind 3 is not marked
    EXPECT_TRUE(probe::LitIn(e.renderer.Surface().Canvas(), x - 3, y - 3, 7, 7).Empty());
}

TEST(EhsiPicture, PictureLandsInsideTheFaceWindowAtScaleOne) {
    Ehsi e;
    e.renderer.Surface().SetScale(1, 1);
    e.Draw();
    const DeviceContext g = e.gauge.get();
    EXPECT_TRUE(Near(PixelAt(g, 54 + 192, 54 + 35), ehsi::kWhite, 10));  // lubber
    for (int i = 0; i < 492; i += 7) {  // nothing outside the 384-pixel window
        EXPECT_EQ(PixelAt(g, i, 53), 0xFF000000u);
        EXPECT_EQ(PixelAt(g, 53, i), 0xFF000000u);
        EXPECT_EQ(PixelAt(g, i, 438), 0xFF000000u);
        EXPECT_EQ(PixelAt(g, 438, i), 0xFF000000u);
    }
    EXPECT_FALSE(probe::LitIn(g, 54, 54, 384, 384).Empty());
}

TEST(EhsiPicture, HostileValuesStillDrawAndTheNextFrameIsWhole) {
    Ehsi e;
    e.Press(2);
    for (int i = 0; i < 7; ++i) e.Press(12);  // 640 nm
    ASSERT_FLOAT_EQ(e.renderer.RangeNm(), 640);
    GeoPoint p = e.src.aircraft;
    for (int i = 0; i < 1000; ++i) {
        p = from(p, static_cast<float>(i * 37 % 360), 3);
        e.src.active.push_back({p, "WAYPOINTNAMELONG" + std::to_string(i), i % 2 == 0});
    }
    e.src.active.push_back({MakeSurfacePoint(-e.src.aircraft.lat, e.src.aircraft.lon + 3.14159265f), "ANTI", true});
    const float nan = std::nanf("");
    GeoPoint bad = e.src.aircraft;
    bad.x = nan;
    e.src.active.push_back({bad, "NAN", true});
    e.src.marks = {{1, bad}, {4, e.src.active.back().point}};
    e.Draw();
    e.src.trueHeading = nan;
    e.src.variation = 1e30f;
    e.src.aircraft = bad;
    e.src.relBearing[0] = nan;
    e.src.distance[0] = -1e38f;
    e.src.lateral[0] = nan;
    e.src.bug = 3e38f;
    e.Draw();
    e.Press(2);
    e.Draw();
    // A clean frame afterwards is drawn whole.
    FakeEhsiSource clean;
    e.src.trueHeading = 0, e.src.variation = 0, e.src.bug = 90, e.src.aircraft = clean.aircraft;
    e.Draw();
    EXPECT_TRUE(Near(e.At(192, 35), ehsi::kWhite, 10));
}

TEST(MapFrame, FarPointsGoOutwardAndTheAntipodeIsLeftOut) {
    const GeoPoint a = MakeSurfacePoint(10.0f / RadToDeg, 20.0f / RadToDeg);
    const MapFrame frame(a, 0, 19.2f, {192, 192});
    PointF p{};
    ASSERT_TRUE(frame.Place(from(a, 90, 10), p));
    EXPECT_NEAR(p.x, 192 + 192, 1.0);  // due east is to the right on a north-up heading
    EXPECT_NEAR(p.y, 192, 1.0);
    // 160 degrees of arc to the north: far above the picture, not folded back onto it.
    ASSERT_TRUE(frame.Place(MakeSurfacePoint(10.0f / RadToDeg + 160.0f / RadToDeg, 20.0f / RadToDeg), p));
    EXPECT_LT(p.y, -100000);
    EXPECT_FALSE(frame.Place(MakeSurfacePoint(-10.0f / RadToDeg, 200.0f / RadToDeg), p));
}

}  // namespace halvex
