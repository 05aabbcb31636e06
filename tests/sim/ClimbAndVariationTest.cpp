// The airframe's vertical performance comes from a table, the variation follows the aircraft,
// and the wind direction is served magnetic, as readers of 0xC102 expect.
#include <cmath>

#include <gtest/gtest.h>

#include "sim/FlightModel.h"
#include "sim/SimulatorOffsets.h"
#include "simlink/SimOffsets.h"

using namespace halvex::sim;

namespace {

// Climb falls off with altitude: 3000 ft/min at sea level, none at 40,000 ft.
ClimbLimits ThinningAir(double, double, double altitudeFt) {
    return {std::max(0.0, 3000.0 * (1.0 - altitudeFt / 40000.0)), -2000.0};
}

FlightModelConfig Climbing(double altitudeFt) {
    FlightModelConfig c;
    c.altitudeFt = altitudeFt;
    c.iasKt = 250;
    c.climbPerformance = ThinningAir;
    return c;
}

void Command(FlightModel& m, double targetFt, double fpm) {
    m.autopilot().master = true;
    m.autopilot().setAltitudeHold(true);
    m.autopilot().targetAltitudeFt = targetFt;
    m.autopilot().targetVerticalSpeedFpm = fpm;
    m.autopilot().targetIasKt = 250;
}

TEST(ClimbPerformance, NothingClimbsFasterThanTheTableAllows) {
    for (double start : {2000.0, 20000.0, 38000.0}) {
        FlightModel m(Climbing(start));
        Command(m, start + 5000, 6000);
        double fastest = 0;
        for (int i = 0; i < 60 * 20; ++i) {
            m.step(0.05);
            fastest = std::max(fastest, m.state().verticalSpeedFpm - ThinningAir(0, 0, m.state().altitudeFt).climbFpm);
        }
        EXPECT_LE(fastest, 60.0) << start;  // the vertical-speed lag may lead the falling limit a little
        const double climbedFt = m.state().altitudeFt - start;
        if (start < 30000) {
            EXPECT_GT(climbedFt, 1000) << start;
        } else {
            EXPECT_GT(climbedFt, 50) << "near the ceiling it still climbs, slowly";
            EXPECT_LT(climbedFt, 300);
        }
    }
}

TEST(ClimbPerformance, AShallowClimbAtClimbThrustGainsSpeed) {
    FlightModel m(Climbing(5000));
    Command(m, 15000, 500);
    for (int i = 0; i < 20 * 20; ++i) m.step(0.05);
    EXPECT_GT(m.state().iasKt, 252.0) << "the thrust the climb does not use accelerates the aircraft";
    EXPECT_LE(m.state().iasKt, 261.0) << "but not past the thrust reduction margin";
}

TEST(ClimbPerformance, DescentsMayBeSteeperThanIdleButNotUnbounded) {
    FlightModel m(Climbing(20000));
    Command(m, 5000, 6000);
    double steepest = 0;
    for (int i = 0; i < 60 * 20; ++i) {
        m.step(0.05);
        steepest = std::min(steepest, m.state().verticalSpeedFpm);
    }
    EXPECT_NEAR(steepest, -3000.0, 1.0) << "1.5 times the idle descent rate";
}

TEST(Variation, FollowsTheAircraftAndTurnsTheServedWindMagnetic) {
    FlightModelConfig c;
    c.latitudeDeg = 0;
    c.longitudeDeg = 0;
    c.trueHeadingDeg = 90;
    c.iasKt = 300;
    c.altitudeFt = 3000;
    c.windFromDeg = 270;
    c.windSpeedKt = 20;
    c.variationAt = [](double, double lonDeg) { return lonDeg * 10.0; };  // grows eastwards
    FlightModel m(c);
    for (int i = 0; i < 600 * 20; ++i) m.step(0.05);  // ten minutes east
    const double lon = m.state().longitudeDeg;
    ASSERT_GT(lon, 0.5);
    EXPECT_NEAR(m.state().magneticVariationDeg, lon * 10.0, 0.1);

    OffsetSpace space;
    PublishState(m.state(), m.autopilot(), ServerIdentity{}, space);
    const double served = space.Get<uint16_t>(halvex::offsets::WindDirection.at) * 360.0 / 65536.0;
    EXPECT_NEAR(std::fmod(served + m.state().magneticVariationDeg + 360.0, 360.0), 270.0, 0.02);
}

}  // namespace
