// Closed-loop checks a pilot would make: the model is flown with the autopilot and its path
// measured against what the aircraft physically should do.
#include <algorithm>
#include <cmath>
#include <functional>
#include <limits>

#include <gtest/gtest.h>

#include "sim/Atmosphere.h"
#include "sim/FlightModel.h"
#include "sim/Sphere.h"

using namespace halvex::sim;

namespace {

constexpr double kFrameSeconds = 1.0 / 30.0;

// Flies in frames until done() or the time runs out; returns the simulated seconds flown.
double FlyUntil(FlightModel& model, double maxSeconds, const std::function<bool(const AircraftSnapshot&)>& done,
                const std::function<void(const AircraftSnapshot&)>& watch = {}) {
    double t = 0;
    while (t < maxSeconds) {
        model.step(kFrameSeconds);
        t += kFrameSeconds;
        if (watch) watch(model.state());
        if (done(model.state())) break;
    }
    return t;
}

void Fly(FlightModel& model, double seconds, const std::function<void(const AircraftSnapshot&)>& watch = {}) {
    FlyUntil(model, seconds, [](const AircraftSnapshot&) { return false; }, watch);
}

double DistanceNm(double latADeg, double lonADeg, double latBDeg, double lonBDeg) {
    return CourseAndDistance(latADeg * kDegToRad, lonADeg * kDegToRad, latBDeg * kDegToRad, lonBDeg * kDegToRad).distanceNm;
}

double CourseDeg(double latADeg, double lonADeg, double latBDeg, double lonBDeg) {
    return CourseAndDistance(latADeg * kDegToRad, lonADeg * kDegToRad, latBDeg * kDegToRad, lonBDeg * kDegToRad).courseRad / kDegToRad;
}

FlightModelConfig Cruise(double altitudeFt, double iasKt, double headingDeg) {
    FlightModelConfig c;
    c.latitudeDeg = 40.0;
    c.longitudeDeg = -100.0;
    c.altitudeFt = altitudeFt;
    c.iasKt = iasKt;
    c.trueHeadingDeg = headingDeg;
    return c;
}

}  // namespace

TEST(FlightModelAirData, TrueAirspeedFollowsTheStandardAtmosphere) {
    EXPECT_DOUBLE_EQ(DensityRatio(0), 1.0);
    // The FMS's own IAS-to-TAS factors at 10000, 35000 and 40000 ft.
    EXPECT_NEAR(TrueFromIndicatedKt(100, 10000) / 100, 1.16358, 0.002);
    EXPECT_NEAR(TrueFromIndicatedKt(100, 35000) / 100, 1.79432, 0.004);
    EXPECT_NEAR(TrueFromIndicatedKt(100, 40000) / 100, 2.0117, 0.004);
    EXPECT_NEAR(IndicatedFromTrueKt(TrueFromIndicatedKt(250, 23000), 23000), 250, 1e-9);

    FlightModel model(Cruise(10000, 250, 0));
    EXPECT_NEAR(model.state().tasKt, 250 * 1.16358, 0.6);
    EXPECT_NEAR(model.state().groundSpeedKt, model.state().tasKt, 1e-9);
    EXPECT_DOUBLE_EQ(model.state().radioAltitudeFt, 10000);
}

TEST(FlightModelLateral, NinetyDegreeTurnAtTwentyFiveDegreesBank) {
    FlightModel model(Cruise(10000, 250, 0));
    auto& ap = model.autopilot();
    ap.master = true;
    ap.headingBugDegMag = 90;
    ap.setHeadingHold(true);
    double tasFtPerS = model.state().tasKt * kFeetPerSecondPerKt;
    double turnRateDegPerS = kGravityFtPerS2 * std::tan(25.0 * kDegToRad) / tasFtPerS / kDegToRad;
    double idealSeconds = 90.0 / turnRateDegPerS;

    double maxBank = 0, maxHeading = 0;
    auto watch = [&](const AircraftSnapshot& s) {
        maxBank = std::max(maxBank, std::abs(s.bankDeg));
        if (s.trueHeadingDeg < 180) maxHeading = std::max(maxHeading, s.trueHeadingDeg);
    };
    double t = FlyUntil(model, 300, [](const AircraftSnapshot& s) { return std::abs(s.trueHeadingDeg - 90) < 1.0; }, watch);
    EXPECT_GE(t, idealSeconds);
    EXPECT_LE(t, idealSeconds + 12.0);  // roll-in and roll-out at 5 deg/s
    EXPECT_LE(maxBank, 25.0 + 1e-9);
    EXPECT_GT(maxBank, 24.9);
    Fly(model, 60, watch);
    EXPECT_LT(maxHeading, 90.5);  // no overshoot
    EXPECT_NEAR(model.state().trueHeadingDeg, 90.0, 0.1);
    EXPECT_NEAR(model.state().bankDeg, 0.0, 0.1);
}

TEST(FlightModelLateral, TurnsTheShortWayAndConvertsTheMagneticBug) {
    FlightModelConfig c = Cruise(5000, 200, 10);
    c.magneticVariationDeg = -15;  // 15 west: 300 magnetic is 285 true
    FlightModel model(c);
    model.autopilot().master = true;
    model.autopilot().headingBugDegMag = 300;
    model.autopilot().setHeadingHold(true);
    model.step(3.0);
    EXPECT_LT(model.state().bankDeg, -5.0);  // left through north
    Fly(model, 180);
    EXPECT_NEAR(model.state().trueHeadingDeg, 285.0, 0.2);
}

TEST(FlightModelLateral, WithoutTheMasterTheWingsComeLevel) {
    FlightModel model(Cruise(5000, 200, 0));
    model.autopilot().master = true;
    model.autopilot().headingBugDegMag = 180;
    model.autopilot().setHeadingHold(true);
    Fly(model, 10);
    ASSERT_GT(std::abs(model.state().bankDeg), 20.0);
    model.autopilot().master = false;
    Fly(model, 6);
    EXPECT_LT(std::abs(model.state().bankDeg), 1.0);  // rolled out at 5 deg/s
    Fly(model, 14);
    EXPECT_EQ(model.state().bankDeg, 0.0);
    double heading = model.state().trueHeadingDeg;
    Fly(model, 30);
    EXPECT_NEAR(model.state().trueHeadingDeg, heading, 0.02);  // only the great circle's own turn
}

TEST(FlightModelVertical, CapturesTheSelectedAltitudeAtTheSelectedRate) {
    FlightModel model(Cruise(5000, 250, 0));
    auto& ap = model.autopilot();
    ap.master = true;
    ap.targetAltitudeFt = 10000;
    ap.targetVerticalSpeedFpm = 2000;
    ap.setAltitudeHold(true);
    double maxAltitude = 0, maxVs = 0;
    auto watch = [&](const AircraftSnapshot& s) {
        maxAltitude = std::max(maxAltitude, s.altitudeFt);
        maxVs = std::max(maxVs, s.verticalSpeedFpm);
    };
    Fly(model, 75, watch);
    EXPECT_NEAR(model.state().verticalSpeedFpm, 2000, 1.0);  // halfway, established
    double t = 75 + FlyUntil(model, 300, [](const AircraftSnapshot& s) { return s.altitudeFt > 9990; }, watch);
    EXPECT_GT(t, 150);
    EXPECT_LT(t, 165);  // 2.5 minutes plus the capture
    Fly(model, 120, watch);
    EXPECT_LE(maxAltitude, 10050);
    EXPECT_NEAR(model.state().altitudeFt, 10000, 5);
    EXPECT_NEAR(model.state().verticalSpeedFpm, 0, 10);
    EXPECT_LE(maxVs, 2000 + 1e-9);

    // At the highest rate the capture must still fit the airframe's vertical acceleration.
    ap.targetAltitudeFt = 20000;
    ap.targetVerticalSpeedFpm = 6000;
    Fly(model, 240, watch);
    EXPECT_LE(maxAltitude, 20050);
    EXPECT_NEAR(model.state().altitudeFt, 20000, 5);
    double minAltitude = 1e9;
    ap.targetAltitudeFt = 8000;
    Fly(model, 240, [&](const AircraftSnapshot& s) { minAltitude = std::min(minAltitude, s.altitudeFt); });
    EXPECT_GE(minAltitude, 7950);
    EXPECT_NEAR(model.state().altitudeFt, 8000, 5);
}

TEST(FlightModelVertical, RateSignTowardTheTargetAndADefaultRate) {
    FlightModel down(Cruise(10000, 250, 0));
    down.autopilot().master = true;
    down.autopilot().targetAltitudeFt = 6000;
    down.autopilot().targetVerticalSpeedFpm = 1200;  // positive, yet the target is below
    down.autopilot().setAltitudeHold(true);
    Fly(down, 60);
    EXPECT_NEAR(down.state().verticalSpeedFpm, -1200, 1.0);

    FlightModel defaultRate(Cruise(10000, 250, 0));
    defaultRate.autopilot().master = true;
    defaultRate.autopilot().targetAltitudeFt = 20000;
    defaultRate.autopilot().targetVerticalSpeedFpm = 0;
    defaultRate.autopilot().setAltitudeHold(true);
    Fly(defaultRate, 60);
    EXPECT_GT(defaultRate.state().verticalSpeedFpm, 500);

    // Master off: the aircraft levels off and stays there.
    defaultRate.autopilot().master = false;
    Fly(defaultRate, 30);
    double altitude = defaultRate.state().altitudeFt;
    EXPECT_NEAR(defaultRate.state().verticalSpeedFpm, 0, 1e-9);
    Fly(defaultRate, 30);
    EXPECT_NEAR(defaultRate.state().altitudeFt, altitude, 1e-6);
}

TEST(FlightModelVertical, NeverGoesBelowTheFieldAndRadioAltitudeIsAboveIt) {
    FlightModelConfig c = Cruise(3000, 180, 0);
    c.fieldElevationFt = 2000;
    FlightModel model(c);
    EXPECT_DOUBLE_EQ(model.state().radioAltitudeFt, 1000);
    model.autopilot().master = true;
    model.autopilot().targetAltitudeFt = 0;
    model.autopilot().targetVerticalSpeedFpm = 3000;
    model.autopilot().setAltitudeHold(true);
    Fly(model, 120);
    EXPECT_DOUBLE_EQ(model.state().altitudeFt, 2000);
    EXPECT_DOUBLE_EQ(model.state().radioAltitudeFt, 0);
}

TEST(FlightModelSpeed, AirspeedHoldAcceleratesAtAPlausibleRate) {
    FlightModel level(Cruise(10000, 250, 0));
    level.autopilot().master = true;
    level.autopilot().targetIasKt = 300;
    level.autopilot().setAirspeedHold(true);
    Fly(level, 20);
    EXPECT_NEAR(level.state().iasKt, 280, 2.0);
    EXPECT_NEAR(level.state().longitudinalAccelFtPerS2, 1.5 * kFeetPerSecondPerKt, 0.05);
    Fly(level, 60);
    EXPECT_NEAR(level.state().iasKt, 300, 0.01);
    EXPECT_NEAR(level.state().longitudinalAccelFtPerS2, 0, 0.01);

    FlightModel climbing(Cruise(10000, 250, 0));
    auto& ap = climbing.autopilot();
    ap.master = true;
    ap.targetAltitudeFt = 30000;
    ap.targetVerticalSpeedFpm = 3000;
    ap.setAltitudeHold(true);
    Fly(climbing, 30);
    ap.targetIasKt = 300;
    ap.setAirspeedHold(true);
    EXPECT_TRUE(ap.altitudeHold);  // the autothrottle combines with the vertical hold
    Fly(climbing, 20);
    EXPECT_LT(climbing.state().iasKt, 280 - 5);
    EXPECT_GT(climbing.state().iasKt, 260);
}

TEST(FlightModelSpeed, HoldsAreExclusivePerAxis) {
    AutopilotInputs ap;
    ap.setHeadingHold(true);
    ap.setAltitudeHold(true);
    ap.setAirspeedHold(true);
    ap.setNavHold(true);
    EXPECT_FALSE(ap.headingHold);
    EXPECT_TRUE(ap.navHold && ap.altitudeHold && ap.airspeedHold);
    ap.setApproachHold(true);
    EXPECT_FALSE(ap.navHold || ap.altitudeHold || ap.headingHold);
    EXPECT_TRUE(ap.approachHold && ap.airspeedHold);
    ap.setAltitudeHold(true);
    EXPECT_FALSE(ap.approachHold);
    ap.setAltitudeHold(false);
    EXPECT_FALSE(ap.altitudeHold);
    EXPECT_TRUE(ap.airspeedHold);
}

TEST(FlightModelNavigation, AnHourAtThreeHundredKnotsCoversThreeHundredMiles) {
    FlightModelConfig c;
    c.latitudeDeg = 0;
    c.longitudeDeg = 177;  // crosses the date line on the way
    c.altitudeFt = 0;
    c.iasKt = 300;
    c.trueHeadingDeg = 90;
    FlightModel model(c);
    ASSERT_DOUBLE_EQ(model.state().tasKt, 300);
    for (int i = 0; i < 3600; ++i) model.step(1.0);
    const auto& s = model.state();
    EXPECT_NEAR(DistanceNm(0, 177, s.latitudeDeg, s.longitudeDeg), 300.0, 1.5);
    EXPECT_NEAR(s.latitudeDeg, 0.0, 1e-9);
    EXPECT_NEAR(s.longitudeDeg, 177 + 300 / (kEarthRadiusNm * kDegToRad) - 360, 0.02);  // wrapped

    // One big step integrates the same path as many small ones.
    FlightModel oneStep(c);
    oneStep.step(3600.0);
    EXPECT_NEAR(DistanceNm(s.latitudeDeg, s.longitudeDeg, oneStep.state().latitudeDeg, oneStep.state().longitudeDeg), 0, 0.01);
}

TEST(FlightModelNavigation, WingsLevelOverThePoleComesOutHeadingSouth) {
    FlightModelConfig c;
    c.latitudeDeg = 89.5;
    c.longitudeDeg = 10;
    c.altitudeFt = 0;
    c.iasKt = 300;
    c.trueHeadingDeg = 0;
    FlightModel model(c);
    Fly(model, 600);  // 50 nm: 30 nm to the pole, 20 beyond
    const auto& s = model.state();
    EXPECT_NEAR(s.latitudeDeg, 90.0 - 20.0 / (kEarthRadiusNm * kDegToRad), 0.01);
    EXPECT_NEAR(s.longitudeDeg, -170.0, 0.01);
    EXPECT_NEAR(s.trueHeadingDeg, 180.0, 0.01);
}

TEST(FlightModelNavigation, CrosswindGivesTheWindTriangleDrift) {
    FlightModelConfig c = Cruise(0, 300, 0);
    c.windFromDeg = 270;
    c.windSpeedKt = 30;
    FlightModel model(c);
    EXPECT_NEAR(model.state().groundTrackDegTrue, std::atan2(30, 300) / kDegToRad, 1e-9);
    EXPECT_NEAR(model.state().groundSpeedKt, std::hypot(300, 30), 1e-9);
    Fly(model, 600);
    const auto& s = model.state();
    EXPECT_NEAR(CourseDeg(c.latitudeDeg, c.longitudeDeg, s.latitudeDeg, s.longitudeDeg), 5.71, 0.05);
    EXPECT_NEAR(DistanceNm(c.latitudeDeg, c.longitudeDeg, s.latitudeDeg, s.longitudeDeg), std::hypot(300, 30) / 6, 0.1);

    // A head wind slows the ground speed and does not turn the track.
    FlightModelConfig head = Cruise(0, 300, 0);
    head.windFromDeg = 0;
    head.windSpeedKt = 40;
    EXPECT_NEAR(FlightModel(head).state().groundSpeedKt, 260, 1e-9);
    EXPECT_NEAR(FlightModel(head).state().groundTrackDegTrue, 0, 1e-9);
}

TEST(FlightModelNavigation, NavHoldInterceptsAndTracksAVorCourseInACrosswind) {
    FlightModelConfig c;
    c.latitudeDeg = 0.1;  // 6 nm north of the 090 course into the station
    c.longitudeDeg = 0;
    c.altitudeFt = 8000;
    c.iasKt = 250;
    c.trueHeadingDeg = 90;
    c.windFromDeg = 180;
    c.windSpeedKt = 40;
    c.nav1 = NavStation{0.0, 1.5, std::nullopt};
    FlightModel model(c);
    model.autopilot().nav1CourseDegMag = 90;
    model.autopilot().master = true;
    model.autopilot().setNavHold(true);
    Fly(model, 420);
    const auto& s = model.state();
    EXPECT_LT(std::abs(s.nav1.lateralNeedle), 3.0);       // within 0.25 degree
    EXPECT_NEAR(s.groundTrackDegTrue, 90.0, 1.0);
    EXPECT_GT(s.trueHeadingDeg, 90.0 + 5.0);               // crabbing into the southerly wind
}

TEST(FlightModelNavigation, ApproachHoldFliesTheLocalizerAndGlideslope) {
    FlightModelConfig c;
    c.latitudeDeg = 0.05;  // 3 nm north of the centreline, 15 nm out, below the glide path
    c.longitudeDeg = -0.25;
    c.altitudeFt = 2500;
    c.fieldElevationFt = 300;
    c.iasKt = 160;
    c.trueHeadingDeg = 120;
    c.windFromDeg = 30;
    c.windSpeedKt = 15;
    c.nav1 = NavStation{0.0, 0.0, 90.0};
    FlightModel model(c);
    auto& ap = model.autopilot();
    ap.master = true;
    ap.targetIasKt = 140;
    ap.setApproachHold(true);

    FlyUntil(model, 900, [](const AircraftSnapshot& s) { return s.nav1.dmeNm < 5.0; });
    EXPECT_LT(std::abs(model.state().nav1.lateralNeedle), 3.0);
    EXPECT_TRUE(model.state().nav1.glideslopeValid);
    EXPECT_LT(std::abs(model.state().nav1.verticalNeedle), 3.0);
    EXPECT_LT(model.state().verticalSpeedFpm, -400);
    EXPECT_NEAR(model.state().iasKt, 140, 0.5);

    double worstLateral = 0, worstVertical = 0;
    FlyUntil(model, 600, [](const AircraftSnapshot& s) { return s.nav1.dmeNm < 2.0; }, [&](const AircraftSnapshot& s) {
        worstLateral = std::max(worstLateral, std::abs(s.nav1.lateralNeedle));
        worstVertical = std::max(worstVertical, std::abs(s.nav1.verticalNeedle));
    });
    double pathFt = 2.0 * kFeetPerNm * std::tan(3.0 * kDegToRad);
    EXPECT_NEAR(model.state().radioAltitudeFt, pathFt, 20);
    EXPECT_LT(worstLateral, 3.0);
    EXPECT_LT(worstVertical, 3.0);
}

TEST(FlightModelRobustness, PausedModelStandsStillButItsRadiosFollowTheCourseSelector) {
    FlightModelConfig c;
    c.timeFactor = 0;
    c.nav1 = NavStation{31.0, 135.0, std::nullopt};
    FlightModel model(c);
    EXPECT_EQ(model.state().nav1.selectedCourseDegMag, 0);  // the course to the station, due north
    EXPECT_NEAR(model.state().nav1.lateralNeedle, 0, 1e-6);
    model.autopilot().nav1CourseDegMag = 20;
    model.step(5.0);
    EXPECT_EQ(model.state().simulatedSeconds, 0);
    EXPECT_EQ(model.state().nav1.selectedCourseDegMag, 20);
    EXPECT_EQ(model.state().nav1.lateralNeedle, -127);  // the 020 course line lies to the left
    model.setTimeFactor(2.0);
    model.step(5.0);
    EXPECT_EQ(model.state().simulatedSeconds, 10);
}

TEST(FlightModelRobustness, NonFiniteInputsAndHugeStepsKeepTheModelSane) {
    FlightModelConfig c;
    c.latitudeDeg = std::nan("");
    c.iasKt = std::numeric_limits<double>::infinity();
    c.timeFactor = -3;
    c.windSpeedKt = -20;  // a negative speed means the same wind
    c.nav1 = NavStation{std::nan(""), 10.0, 90.0};
    c.nav2 = NavStation{31.0, 135.0, std::nan("")};
    FlightModel model(c);
    EXPECT_FALSE(model.state().nav1.tuned);
    EXPECT_TRUE(model.state().nav2.tuned);
    EXPECT_FALSE(model.state().nav2.glideslopeValid);
    EXPECT_NEAR(model.state().latitudeDeg, FlightModelConfig{}.latitudeDeg, 1e-12);
    EXPECT_EQ(model.state().iasKt, FlightModelConfig{}.iasKt);
    EXPECT_EQ(model.state().windSpeedKt, 20);
    auto& ap = model.autopilot();
    ap.master = true;
    ap.headingBugDegMag = std::nan("");
    ap.targetAltitudeFt = std::numeric_limits<double>::infinity();
    ap.targetIasKt = std::nan("");
    ap.setHeadingHold(true);
    ap.setAltitudeHold(true);
    model.step(std::nan(""));
    model.step(-5);
    EXPECT_EQ(model.state().simulatedSeconds, 0);
    model.step(1e6);  // eleven and a half days in one call: finishes, stays finite
    const auto& s = model.state();
    EXPECT_EQ(s.simulatedSeconds, 1e6);
    EXPECT_EQ(s.dayOfYear, 13);  // 1 January 12:00 plus 11 days 13.8 hours
    EXPECT_EQ(s.utcHour, 1);
    for (double v : {s.latitudeDeg, s.longitudeDeg, s.altitudeFt, s.iasKt, s.bankDeg, s.trueHeadingDeg})
        EXPECT_TRUE(std::isfinite(v));
    EXPECT_EQ(s.altitudeFt, FlightModelConfig{}.altitudeFt);  // an infinite target is not chased

    ap.targetAltitudeFt = 1e9;  // a finite but absurd one stops at the ceiling
    model.step(3e5);
    EXPECT_EQ(model.state().altitudeFt, 60000);
}

TEST(FlightModelThroughput, ALongFlightWithEveryModeStaysFinite) {
    // Ten simulated hours at a 16x rate in frame-sized steps: no blow-up, no NaN, sane values.
    FlightModelConfig c = Cruise(30000, 280, 45);
    c.timeFactor = 16.0;
    c.windFromDeg = 300;
    c.windSpeedKt = 80;
    c.nav1 = NavStation{41.0, -99.0, std::nullopt};
    FlightModel model(c);
    auto& ap = model.autopilot();
    ap.master = true;
    ap.setAirspeedHold(true);
    int frames = static_cast<int>(10 * 3600 / 16.0 / kFrameSeconds);
    for (int i = 0; i < frames; ++i) {
        if (i % 2000 == 0) {  // keep changing what is asked
            ap.headingBugDegMag = std::fmod(i * 0.37, 360.0);
            ap.targetAltitudeFt = (i / 2000) % 2 ? 35000 : 5000;
            ap.targetVerticalSpeedFpm = 2500;
            ap.targetIasKt = 200 + (i / 2000) % 5 * 30;
            if ((i / 2000) % 3 == 0) ap.setNavHold(true); else ap.setHeadingHold(true);
            ap.setAltitudeHold(true);
        }
        model.step(kFrameSeconds);
    }
    const auto& s = model.state();
    EXPECT_NEAR(s.simulatedSeconds, 36000, 1.0);
    for (double v : {s.latitudeDeg, s.longitudeDeg, s.altitudeFt, s.tasKt, s.groundSpeedKt, s.nav1.dmeNm, s.bankDeg})
        EXPECT_TRUE(std::isfinite(v));
    EXPECT_GE(s.latitudeDeg, -90);
    EXPECT_LE(s.latitudeDeg, 90);
    EXPECT_GE(s.altitudeFt, 4900);
    EXPECT_LE(s.altitudeFt, 35100);
    EXPECT_LE(std::abs(s.bankDeg), 25.0);
}
