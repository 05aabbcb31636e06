// Lateral guidance on plans near the equator: the steering law and its sign, the turn rules,
// sequencing of hidden and legs-view points, and what a broken input must not do.
#include <gtest/gtest.h>

#include "GuidanceTestSupport.h"
#include "fms/LateralGuidance.h"

namespace halvex {
namespace {

using namespace test;

// A 60 nm leg due north from 0/0, then on to a third point at the given turn to the right.
FlightPlan NorthThenTurn(double turnDeg, double secondLegNm = 60) {
    const double nm = 1.0 / 60.0;  // degrees of latitude per nm, near enough here
    const double t = turnDeg / 57.29578;
    return Recomputed({PlainAt(0, 0, "A"), PlainAt(60 * nm, 0, "B"),
                       PlainAt(60 * nm + secondLegNm * nm * std::cos(t), LonDegForNm(secondLegNm * std::sin(t)), "C")});
}

struct Steered {
    LateralGuidance g;
    RecordingAutopilot ap;
};

void Fly(Steered& s, FlightPlan& plan, const AircraftData& a) {
    s.g.ChooseActiveLeg(plan, a);
    s.g.Track(plan, a, nullptr);
    s.g.Steer(plan, a, s.ap);
}

TEST(LateralGuidance, InterceptTurnsTowardsTheLegOnEitherSideAndBehindItsStart) {
    for (double side : {-1.0, 1.0}) {
        for (double latDeg : {0.5, -0.05}) {  // on the leg, and still short of its start
            FlightPlan plan = NorthThenTurn(90);
            Steered s;
            const AircraftData a = AircraftAt(latDeg, side * LonDegForNm(0.5), 0, 200);
            Fly(s, plan, a);
            ASSERT_TRUE(s.ap.heading);
            // Right of the leg (east): the path lies left, the error is negative, the aircraft turns left.
            EXPECT_NEAR(s.g.CrossTrackError(), -side * 0.5, 0.01) << latDeg;
            const float intercept = Wrap180(*s.ap.heading - s.g.CourseToTo());
            EXPECT_NEAR(intercept, -side * 5.0, 0.05) << "0.5 nm at 200 kt is 5 degrees";
        }
    }
}

TEST(LateralGuidance, InterceptIsLimitedAndVanishesAtWalkingSpeed) {
    FlightPlan plan = NorthThenTurn(90);
    Steered s;
    AircraftData a = AircraftAt(0.5, LonDegForNm(3.0), 0, 60);
    a.windDirectionDeg = 270;
    a.windSpeedKt = 20;
    Fly(s, plan, a);
    const float wind = std::asin(20.0f * std::sin((270.0f - s.g.CourseToTo()) / 57.29578f) / 60.0f) * 57.29578f;
    EXPECT_NEAR(Wrap180(*s.ap.heading - s.g.CourseToTo() - wind), -60.0, 0.05);

    Steered gale;  // a wind stronger than the airspeed has no crab angle that holds the track
    a.trueAirspeedKt = 15;
    a.windSpeedKt = 40;
    Fly(gale, plan, a);
    ASSERT_TRUE(gale.ap.heading);
    EXPECT_TRUE(std::isfinite(*gale.ap.heading));

    Steered slow;
    a.windSpeedKt = 20;
    a.trueAirspeedKt = 8;
    Fly(slow, plan, a);
    EXPECT_NEAR(Wrap180(*slow.ap.heading - slow.g.CourseToTo()), 0.0, 1e-3) << "no intercept, no wind correction";
}

TEST(LateralGuidance, WindFromTheLeftTurnsTheNoseIntoIt) {
    FlightPlan plan = NorthThenTurn(90);
    Steered s;
    AircraftData a = AircraftAt(0.5, 0, 0, 200);
    a.windDirectionDeg = 260;  // magnetic; with 10 east variation the wind is from due west
    a.magneticVariationDeg = 10;
    a.windSpeedKt = 40;
    Fly(s, plan, a);
    EXPECT_NEAR(Wrap180(*s.ap.heading - s.g.CourseToTo()), -std::asin(0.2) * 57.29578, 0.05);
}

TEST(LateralGuidance, SmallAndReversingTurnsGetNoArc) {
    EXPECT_LT(NorthThenTurn(3).entries[1].entryDistance, 0.0f);
    EXPECT_LT(NorthThenTurn(150).entries[1].entryDistance, 0.0f);
    EXPECT_GT(NorthThenTurn(60).entries[1].entryDistance, 0.0f);
}

TEST(LateralGuidance, WithinFiveMilesOfASmallTurnTheNextLegIsSteered) {
    FlightPlan plan = NorthThenTurn(3);
    const double nm = 1.0 / 60.0;
    Steered far, near;
    Fly(far, plan, AircraftAt(54 * nm, 0, 0));
    Fly(near, plan, AircraftAt(57 * nm, 0, 0));
    EXPECT_EQ(near.g.ToIndex(), 1) << "not sequenced";
    EXPECT_NEAR(Wrap180(*far.ap.heading), 0.0, 0.05) << "on the leg, straight at B";
    // Measured from the next leg, which passes 3 nm * sin 3 = 0.16 nm west of the aircraft.
    EXPECT_NEAR(near.g.CrossTrackError(), -0.157, 0.01);
    const float nextLeg = CourseAndDistance(AircraftAt(57 * nm, 0, 0).position, plan.entries[2].position).courseDeg;
    EXPECT_NEAR(Wrap180(*near.ap.heading - nextLeg - near.g.CrossTrackError() * 8.0f), 0.0, 0.05);
}

TEST(LateralGuidance, TheLastLegIsNotSteeredBackToTheFirstEntry) {
    const double nm = 1.0 / 60.0;
    FlightPlan plan = Recomputed({PlainAt(0, 0, "A"), PlainAt(250 * nm, 0, "B")});
    ASSERT_GT(plan.entries.size(), 2u);
    Steered s;
    s.g.ChooseActiveLeg(plan, AircraftAt(0.1 * nm, 0, 0));
    for (double at = 1; at <= 247; at += 2) {
        const AircraftData a = AircraftAt(at * nm, 0, 0);
        s.g.Track(plan, a, nullptr);
        s.g.Steer(plan, a, s.ap);
    }
    ASSERT_EQ(s.g.ToIndex(), static_cast<int32_t>(plan.entries.size()) - 1);
    EXPECT_NEAR(Wrap180(*s.ap.heading), 0.0, 0.5) << "still north, not back towards A";
}

TEST(LateralGuidance, PassingAHiddenPointKeepsTheLegsViewAndALegsPointLeavesThePlan) {
    const double nm = 1.0 / 60.0;
    FlightPlan plan = Recomputed({PlainAt(0, 0, "A"), PlainAt(250 * nm, 0, "B"), PlainAt(250 * nm, LonDegForNm(50), "C")});
    ASSERT_GT(plan.entries.size(), 3u) << "subdivision points expected";
    const size_t entries = plan.entries.size();
    Steered s;
    s.g.ChooseActiveLeg(plan, AircraftAt(0.1 * nm, 0, 0));
    const float firstHiddenLat = plan.entries[1].position.lat * 57.29578f;
    s.g.Track(plan, AircraftAt(firstHiddenLat + 1 * nm, 0, 0), nullptr);
    EXPECT_EQ(plan.entries.size(), entries);
    EXPECT_EQ(plan.LegsCount(), 3);
    EXPECT_EQ(s.g.FromIndex(), 1);
    EXPECT_EQ(s.g.ToIndex(), 2);

    struct Count : SequenceListener {
        int n = 0;
        void OnWaypointPassed(const WaypointEntry&) override { ++n; }
    } passed;
    Steered t;
    t.g.ChooseActiveLeg(plan, AircraftAt(249 * nm, 0, 0));
    const int32_t toB = plan.LegsEntryIndex(1);
    for (int32_t i = 0; i < toB; ++i) t.g.Track(plan, AircraftAt(250.5 * nm, 0, 0), &passed);
    EXPECT_EQ(passed.n, 1);
    EXPECT_EQ(plan.LegsCount(), 2);
    EXPECT_EQ(plan.entries.front().name, "B");
}

TEST(LateralGuidance, AToPointSixMilesBehindIsNotPassed) {
    FlightPlan plan = NorthThenTurn(90);
    const double nm = 1.0 / 60.0;
    Steered s;
    s.g.ChooseActiveLeg(plan, AircraftAt(1 * nm, 0, 0));
    s.g.Track(plan, AircraftAt(66 * nm, 0, 0), nullptr);
    EXPECT_EQ(s.g.ToIndex(), 1);
    EXPECT_EQ(plan.LegsCount(), 3);
    s.g.Track(plan, AircraftAt(64 * nm, 0, 0), nullptr);
    EXPECT_EQ(plan.LegsCount(), 2) << "4 nm behind: passed";
}

TEST(LateralGuidance, AFlownTurnStaysNearItsArcWithAConsistentSign) {
    // Fly the 90 degree turn point by point along its arc: the error stays small and the
    // command moves smoothly from the inbound towards the outbound course.
    FlightPlan plan = NorthThenTurn(90);
    const WaypointEntry& b = plan.entries[1];
    ASSERT_GT(b.entryDistance, 0.0f);
    Steered s;
    s.g.ChooseActiveLeg(plan, AircraftAt(0.5, 0, 0));
    const GeoVector centre = CartesianOf(b.turnCenter);
    const GeoVector start = Subtract(CartesianOf(b.entryPoint), centre);
    const GeoVector axis = [&] {
        GeoVector v = CartesianOf(b.turnCenter);
        Normalize(v);
        return v;
    }();
    float last = -1;
    for (int step = 0; step <= 20; ++step) {
        const float angle = b.turnAngle * 0.9f * step / 20.0f;  // clockwise seen from above (left-handed frame)
        const GeoPoint p = ProjectToSurface(Add(centre, Transform(RotationMatrix(axis, angle), start)));
        AircraftData a = AircraftAt(p.lat * 57.29578, p.lon * 57.29578, 90.0f * step / 20.0f);
        a.position = p;
        s.g.Track(plan, a, nullptr);
        s.g.Steer(plan, a, s.ap);
        ASSERT_TRUE(s.ap.heading);
        EXPECT_LT(std::abs(s.g.CrossTrackError()), 0.05) << step;
        if (step > 0) {
            EXPECT_GE(Wrap180(*s.ap.heading - last), -1.0f) << step;
        }
        last = *s.ap.heading;
    }
    EXPECT_TRUE(s.g.Turning() || s.g.ToIndex() == 1);
}

TEST(LateralGuidance, OneEntryAndEmptyPlansAreNotSteered) {
    Steered s;
    FlightPlan one = Recomputed({PlainAt(0, 0, "A")});
    Fly(s, one, AircraftAt(0.5, 0, 0));
    EXPECT_FALSE(s.ap.heading);
    FlightPlan none;
    Fly(s, none, AircraftAt(0.5, 0, 0));
    EXPECT_FALSE(s.ap.heading);
}

}  // namespace
}  // namespace halvex
