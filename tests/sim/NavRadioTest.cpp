#include <cmath>

#include <gtest/gtest.h>

#include "sim/NavRadio.h"
#include "sim/Sphere.h"

using namespace halvex::sim;

namespace {

AircraftFix At(double latDeg, double lonDeg, double altitudeFt = 0, double headingDeg = 90, double varDeg = 0) {
    return {latDeg * kDegToRad, lonDeg * kDegToRad, altitudeFt, headingDeg, varDeg};
}

// Latitude offset that puts a point at lonDeg (west of a station at 0,0) angleDeg off the
// east-west line through the station, seen from it.
double LatitudeForAngle(double lonDeg, double angleDeg) {
    return std::abs(lonDeg) * std::tan(angleDeg * kDegToRad);
}

const std::optional<NavStation> kLocalizerEast = NavStation{0.0, 0.0, 90.0};  // approach flown eastward
const std::optional<NavStation> kVor = NavStation{0.0, 0.0, std::nullopt};

}  // namespace

TEST(NavRadio, LocalizerNeedleSenseAndFullScaleOnBothSides) {
    // North of the centreline while flying east: the course lies to the right.
    NavSolution north = SolveNav(kLocalizerEast, 0, 0, At(LatitudeForAngle(0.2, 1.25), -0.2));
    EXPECT_NEAR(north.receiver.lateralNeedle, 63.5, 1.0);
    EXPECT_GT(north.crossTrackNm, 0);
    NavSolution south = SolveNav(kLocalizerEast, 0, 0, At(-LatitudeForAngle(0.2, 1.25), -0.2));
    EXPECT_NEAR(south.receiver.lateralNeedle, -63.5, 1.0);
    EXPECT_LT(south.crossTrackNm, 0);

    EXPECT_DOUBLE_EQ(SolveNav(kLocalizerEast, 0, 0, At(LatitudeForAngle(0.2, 4.0), -0.2)).receiver.lateralNeedle, 127.0);
    EXPECT_DOUBLE_EQ(SolveNav(kLocalizerEast, 0, 0, At(-LatitudeForAngle(0.2, 4.0), -0.2)).receiver.lateralNeedle, -127.0);
    EXPECT_NEAR(SolveNav(kLocalizerEast, 0, 0, At(0, -0.2)).receiver.lateralNeedle, 0.0, 1e-6);
}

TEST(NavRadio, LocalizerIgnoresTheCourseSelectorAndFollowsVariation) {
    auto a = SolveNav(kLocalizerEast, 0, 0, At(LatitudeForAngle(0.2, 1.0), -0.2));
    auto b = SolveNav(kLocalizerEast, 250, 0, At(LatitudeForAngle(0.2, 1.0), -0.2));
    EXPECT_DOUBLE_EQ(a.receiver.lateralNeedle, b.receiver.lateralNeedle);
    EXPECT_DOUBLE_EQ(b.receiver.selectedCourseDegMag, 250);
    // 090 magnetic with 10 degrees east variation is 100 true: a point on the 100-degree line
    // into the station is centred.
    double lonDeg = -0.2, latDeg = 0.2 * std::tan(10.0 * kDegToRad);
    auto east10 = SolveNav(kLocalizerEast, 0, 0, At(latDeg, lonDeg, 0, 100, 10.0));
    EXPECT_NEAR(east10.receiver.lateralNeedle, 0.0, 0.5);
    EXPECT_NEAR(east10.trackDegTrue, 100.0, 1e-9);
}

TEST(NavRadio, VorNeedleAgainstSelectedCourseToAndFrom) {
    double lat = LatitudeForAngle(0.5, 5.0);
    // To the station on 090, north of the course: course to the right.
    EXPECT_NEAR(SolveNav(kVor, 90, 0, At(lat, -0.5)).receiver.lateralNeedle, 63.5, 1.0);
    // From the station on 090, still north of it: still fly right.
    EXPECT_NEAR(SolveNav(kVor, 90, 0, At(lat, 0.5)).receiver.lateralNeedle, 63.5, 1.0);
    EXPECT_NEAR(SolveNav(kVor, 90, 0, At(-lat, 0.5)).receiver.lateralNeedle, -63.5, 1.0);
    EXPECT_DOUBLE_EQ(SolveNav(kVor, 90, 0, At(0.3, -0.5)).receiver.lateralNeedle, 127.0);
    // The selected course matters for a VOR: on 090 the aircraft due west is centred; inbound on 080 it is left of the course.
    EXPECT_NEAR(SolveNav(kVor, 90, 0, At(0, -0.5)).receiver.lateralNeedle, 0.0, 1e-6);
    EXPECT_NEAR(SolveNav(kVor, 80, 0, At(0, -0.5)).receiver.lateralNeedle, 127.0, 1e-6);
}

TEST(NavRadio, GlideslopeOnlyForALocalizerAndInFrontOfIt) {
    double tenNmDeg = 10.0 / kEarthRadiusNm / kDegToRad;
    double onPathFt = 10.0 * kFeetPerNm * std::tan(3.0 * kDegToRad) + 500.0;  // field at 500 ft
    auto onPath = SolveNav(kLocalizerEast, 0, 500.0, At(0, -tenNmDeg, onPathFt));
    EXPECT_TRUE(onPath.receiver.glideslopeValid);
    EXPECT_NEAR(onPath.receiver.verticalNeedle, 0.0, 0.5);
    EXPECT_NEAR(onPath.glidepathErrorFt, 0.0, 1.0);

    double halfScaleHighFt = 10.0 * kFeetPerNm * std::tan(3.35 * kDegToRad) + 500.0;
    EXPECT_NEAR(SolveNav(kLocalizerEast, 0, 500.0, At(0, -tenNmDeg, halfScaleHighFt)).receiver.verticalNeedle, 63.5, 1.0);
    EXPECT_DOUBLE_EQ(SolveNav(kLocalizerEast, 0, 500.0, At(0, -tenNmDeg, 500.0)).receiver.verticalNeedle, -127.0);

    auto behind = SolveNav(kLocalizerEast, 0, 500.0, At(0, tenNmDeg, onPathFt));
    EXPECT_FALSE(behind.receiver.glideslopeValid);
    EXPECT_EQ(behind.receiver.verticalNeedle, 0.0);
    auto vor = SolveNav(kVor, 90, 500.0, At(0, -tenNmDeg, onPathFt));
    EXPECT_FALSE(vor.receiver.glideslopeValid);
    EXPECT_EQ(vor.receiver.verticalNeedle, 0.0);
    EXPECT_FALSE(SolveNav(std::nullopt, 90, 0, At(0, 0)).receiver.tuned);
}

TEST(NavRadio, RelativeBearingAndDme) {
    double oneDegNm = kEarthRadiusNm * kDegToRad;
    const std::optional<NavStation> north = NavStation{1.0, 0.0, std::nullopt};
    auto level = SolveNav(north, 0, 0, At(0, 0, 0, 90));
    EXPECT_NEAR(level.receiver.relativeBearingDeg, 270.0, 1e-6);
    EXPECT_NEAR(level.receiver.dmeNm, oneDegNm, 1e-6);
    EXPECT_NEAR(SolveNav(north, 0, 0, At(0, 0, 0, 350)).receiver.relativeBearingDeg, 10.0, 1e-6);
    EXPECT_NEAR(SolveNav(north, 0, 0, At(0, 0, 0, 10)).receiver.relativeBearingDeg, 350.0, 1e-6);
    auto high = SolveNav(north, 0, 1000.0, At(0, 0, 37000.0, 0));
    EXPECT_NEAR(high.receiver.dmeNm, std::hypot(oneDegNm, 36000.0 / kFeetPerNm), 1e-6);
    // Station to the south-west.
    const std::optional<NavStation> southWest = NavStation{-0.5, -0.5, std::nullopt};
    EXPECT_NEAR(SolveNav(southWest, 0, 0, At(0, 0, 0, 0)).receiver.relativeBearingDeg, 225.0, 0.1);
}
