// Positions, spherical formulas, the vector kit and the variation lookup rules.
#include <gtest/gtest.h>

#include <cmath>

#include "navdb/Geodesy.h"
#include "navdb/MagVarGrid.h"

namespace halvex {
namespace {

float Rad(double deg) { return static_cast<float>(deg / RadToDeg); }

TEST(GeoPointTest, SurfacePointsCarryBothGroupsAndThePoleIsExact) {
    const GeoPoint p = MakeSurfacePoint(Rad(30), Rad(60));
    EXPECT_FLOAT_EQ(p.radius, EarthRadiusNm);
    EXPECT_NEAR(p.x, EarthRadiusNm * std::cos(Rad(30)) * std::cos(Rad(60)), 1e-3);
    EXPECT_NEAR(p.y, EarthRadiusNm * 0.5, 1e-2);  // y is the polar axis
    EXPECT_NEAR(p.z, EarthRadiusNm * std::cos(Rad(30)) * std::sin(Rad(60)), 1e-3);
    EXPECT_EQ(p.w, 1.0f);

    const GeoPoint pole = MakeGeoPoint(HalfPi, 1.0f, 10.0f);
    EXPECT_EQ(pole.x, 0.0f);
    EXPECT_EQ(pole.z, 0.0f);
    EXPECT_FLOAT_EQ(pole.y, 10.0f);
    const GeoPoint nearPole = MakeGeoPoint(std::nextafter(HalfPi, 0.0f), 0.0f, 10.0f);
    EXPECT_NE(nearPole.x, 0.0f);  // only the exact value takes the shortcut
}

TEST(GeoPointTest, CartesianToSphericalRoundTripsAndFollowsTheAxisRules) {
    for (double lon : {-179.0, -90.0, -45.0, 0.0, 45.0, 91.0, 179.0}) {
        const GeoPoint p = MakeSurfacePoint(Rad(-20), Rad(lon));
        const SphericalCoords s = CartesianToSpherical(CartesianOf(p));
        EXPECT_NEAR(s.lat, Rad(-20), 1e-5) << lon;
        EXPECT_NEAR(s.lon, Rad(lon), 1e-5) << lon;
        EXPECT_LE(std::fabs(s.lon), 3.1415927f);
    }
    EXPECT_EQ(CartesianToSpherical(GeoVector{0, 5, 0}).lon, -HalfPi);  // z > 0 fails on the axis
    EXPECT_EQ(CartesianToSpherical(GeoVector{0, 0, 3}).lon, HalfPi);
    const GeoPoint projected = ProjectToSurface(GeoVector{100, 0, 0});
    EXPECT_FLOAT_EQ(projected.radius, EarthRadiusNm);  // the vector's own length is dropped
    EXPECT_NEAR(projected.x, EarthRadiusNm, 1e-2);
}

TEST(SphericalTest, DistanceAndCourseUseTheirOwnRadiiAndBranches) {
    const GeoPoint a = MakeSurfacePoint(Rad(10), Rad(20));
    const GeoPoint north = MakeSurfacePoint(Rad(11), Rad(20));
    EXPECT_NEAR(GreatCircleDistance(a, north), 60.0, 1e-3);  // one nm per arc minute
    EXPECT_EQ(GreatCircleDistance(a, a), 0.0);               // not NaN for one point

    // On one meridian sin(dlon) is 0: north comes out near 360, south at 180.
    const CourseDistance up = CourseAndDistance(a, north);
    EXPECT_NEAR(up.courseDeg, 360.0, 1e-3);
    EXPECT_NEAR(up.distanceNm, 60.0, 1e-2);
    EXPECT_NEAR(CourseAndDistance(north, a).courseDeg, 180.0, 1e-3);
    EXPECT_NEAR(CourseAndDistance(a, MakeSurfacePoint(Rad(10), Rad(21))).courseDeg, 89.9, 0.1);
    EXPECT_NEAR(CourseAndDistance(a, MakeSurfacePoint(Rad(10), Rad(19))).courseDeg, 270.1, 0.1);
    const CourseDistance same = CourseAndDistance(a, a);
    EXPECT_EQ(same.distanceNm, 0.0f);
    EXPECT_FALSE(std::isnan(same.courseDeg));
}

TEST(SphericalTest, DestinationStepsAlongTheTangentPlane) {
    const GeoPoint start = MakeSurfacePoint(Rad(0), Rad(0));
    const GeoPoint d = DestinationPoint(true, start, 0, 600);
    EXPECT_NEAR(d.lat, std::atan(600.0 / EarthRadiusNm), 1e-6);  // not 600 / radius
    EXPECT_NEAR(d.lon, 0, 1e-6);
    const GeoPoint east = DestinationPoint(true, start, 90, 100);
    EXPECT_NEAR(east.lat, 0, 1e-6);
    EXPECT_NEAR(east.lon, std::atan(100.0 / EarthRadiusNm), 1e-6);

    // A magnetic bearing is turned true by the grid's variation at the start.
    const GeoPoint s = MakeSurfacePoint(Rad(47.5), Rad(-122.3));
    const float variation = MagneticVariation(47.5f, -122.3f);
    const GeoPoint m = DestinationPoint(false, s, 0, 50);
    const GeoPoint t = DestinationPoint(true, s, variation, 50);
    EXPECT_NEAR(m.lat, t.lat, 1e-6);
    EXPECT_NEAR(m.lon, t.lon, 1e-6);
    EXPECT_NEAR(CourseAndDistance(s, t).courseDeg, variation + 360.0f * (variation < 0), 0.5);
}

TEST(SphericalTest, CourseIntersectionMeetsBothLines) {
    const GeoPoint a = MakeSurfacePoint(Rad(40), Rad(-101));
    const GeoPoint b = MakeSurfacePoint(Rad(40.5), Rad(-100.5));
    const float var = MagneticVariation(40, -101);
    ASSERT_EQ(var, MagneticVariation(40.5f, -100.5f));  // one variation for both lines
    // A flies true east, B true south: they meet near 40 N, 100.5 W.
    const GeoPoint x = CourseIntersection(a, 90 - var, b, 180 - var);
    EXPECT_NEAR(x.lon * RadToDeg, -100.5, 0.02);
    EXPECT_NEAR(x.lat * RadToDeg, 40.0, 0.02);
    EXPECT_FLOAT_EQ(x.radius, EarthRadiusNm);
}

TEST(VectorKitTest, RotationDistanceToLineAndTolerance) {
    const Matrix4 quarter = RotationMatrix(GeoVector{0, 0, 1}, HalfPi);
    const GeoVector turned = Transform(quarter, GeoVector{1, 0, 0});
    EXPECT_NEAR(turned.x, 0, 1e-6);
    EXPECT_NEAR(turned.y, 1, 1e-6);  // right-handed about +z
    EXPECT_EQ(turned.w, 1.0f);

    // North at the equator and prime meridian turned by +90 points east (+z).
    const GeoVector east = BearingDirection(MakeSurfacePoint(0, 0), 90, true);
    EXPECT_NEAR(east.z, 1, 1e-6);
    EXPECT_NEAR(east.y, 0, 1e-6);

    GeoVector foot, q;
    float t = 0;
    EXPECT_FLOAT_EQ(DistanceToLine(GeoVector{2, 0, 0}, GeoVector{3, 4, 0}, GeoVector{1, 0, 0}, &foot, &q, &t), 4.0f);
    EXPECT_FLOAT_EQ(foot.x, 3.0f);
    EXPECT_FLOAT_EQ(q.y, -4.0f);  // from the point to the foot
    EXPECT_FLOAT_EQ(t, 1.0f);
    GeoVector untouched{9, 9, 9};
    EXPECT_EQ(DistanceToLine(GeoVector{0, 0, 0}, GeoVector{1, 1, 1}, GeoVector{}, &untouched), 3.4028235e38f);
    EXPECT_EQ(untouched.x, 9.0f);

    GeoVector v{3, 0, 4, 7};
    Normalize(v);
    EXPECT_FLOAT_EQ(v.x, 0.6f);
    EXPECT_EQ(v.w, 1.0f);
    EXPECT_EQ(Subtract(GeoVector{5, 5, 5}, GeoVector{1, 2, 3}).z, 2.0f);

    EXPECT_TRUE(WithinTolerance(1.0f, 1.5f, 0.5f));  // both ends inclusive
    EXPECT_TRUE(WithinTolerance(1.0f, 0.5f, 0.5f));
    EXPECT_FALSE(WithinTolerance(1.0f, 1.5001f, 0.5f));
}

TEST(MagneticVariationTest, TruncatesClampsAndReadsOneCell) {
    auto cell = [](int row, int column) { return MagVarGrid[row * MagVarColumns + column]; };
    EXPECT_EQ(MagneticVariation(-95.0f, -179.9f), cell(90, 179));  // (-95, -179) -> (-90, -178)
    EXPECT_EQ(MagneticVariation(40.9f, -100.9f), cell(25, 140));   // truncated to (40, -100)
    EXPECT_EQ(MagneticVariation(41.0f, -101.0f), cell(24, 140));   // odd degrees: integer division
    EXPECT_EQ(MagneticVariation(-33.5f, 151.2f), cell(61, 14));    // towards zero: (-33, 151)
    EXPECT_EQ(MagneticVariation(90.0f, 180.0f), cell(0, 0));
    EXPECT_EQ(MagneticVariation(120.0f, 500.0f), cell(0, 0));
    EXPECT_EQ(MagneticVariation(NAN, NAN), cell(45, 90));          // defined even for NaN
}

}  // namespace
}  // namespace halvex
