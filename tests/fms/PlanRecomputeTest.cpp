// The plan recompute (hidden points, courses and distances, leg lengths with turn allowances,
// legs-view distances, subdivision) and the fly-by turn geometry, checked against values
// worked out independently (flat-earth geometry at the equator, where it is nearly exact).
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "PlanTestSupport.h"
#include "fms/PerfSpecTable.h"
#include "fms/TurnGeometry.h"

namespace halvex {
namespace {

using namespace test;

constexpr double kNmPerDeg = 3437.7468 / 57.29578;

FlightPlanSet MakeSet(const PerfSpecTable* perf = nullptr) { return FlightPlanSet(nullptr, perf, nullptr); }

FlightPlan Straight(std::initializer_list<double> lonNm) {
    FlightPlan p;
    int n = 0;
    for (double nm : lonNm) p.entries.push_back(PlainAt(0, LonDegForNm(nm), "P" + std::to_string(n++)));
    return p;
}

std::vector<float> LegLengths(const FlightPlan& p) {
    std::vector<float> v;
    for (size_t i = 0; i + 1 < p.entries.size(); ++i) v.push_back(p.entries[i].legLength);
    return v;
}

float SumOfLegLengths(const FlightPlan& p) {
    float sum = 0;
    for (size_t i = 0; i + 1 < p.entries.size(); ++i) sum += p.entries[i].legLength;
    return sum;
}

TEST(PlanSubdivision, A250NmLegGetsTwoHiddenPointsAtAQuarterAndAHalf) {
    FlightPlanSet set = MakeSet();
    FlightPlan p = Straight({0, 250});
    set.Recompute(p);
    ASSERT_EQ(p.entries.size(), 4u);
    const std::vector<float> pieces = LegLengths(p);
    EXPECT_NEAR(pieces[0], 62.5, 0.05);
    EXPECT_NEAR(pieces[1], 62.5, 0.05);
    EXPECT_NEAR(pieces[2], 125.0, 0.05);
    EXPECT_FALSE(p.entries[1].onLegs || p.entries[1].onFpln);
    EXPECT_FALSE(p.entries[2].onLegs || p.entries[2].onFpln);
    EXPECT_EQ(p.entries[1].kind, 13);
    EXPECT_EQ(p.LegsCount(), 2);
    EXPECT_EQ(p.FplnCount(), 2);
    EXPECT_NEAR(p.entries[0].legDistance, 250.0, 0.05);   // the whole leg stays on its start
    EXPECT_NEAR(p.entries[0].legsDistance, 250.0, 0.05);
    EXPECT_EQ(p.entries[1].legDistance, -1.0f);
    EXPECT_NEAR(p.totalDistance, 250.0, 0.05);
    EXPECT_FLOAT_EQ(p.totalDistance, SumOfLegLengths(p));
}

TEST(PlanSubdivision, A1000NmLegIsHalvedTowardsItsStart) {
    FlightPlanSet set = MakeSet();
    FlightPlan p = Straight({0, 1000});
    set.Recompute(p);
    ASSERT_EQ(p.entries.size(), 6u);
    const std::vector<float> pieces = LegLengths(p);
    const double expected[] = {62.5, 62.5, 125, 250, 500};
    for (size_t i = 0; i < 5; ++i) EXPECT_NEAR(pieces[i], expected[i], 0.2) << i;
    // The hidden points lie in order along the leg.
    for (size_t i = 0; i + 1 < p.entries.size(); ++i) EXPECT_LT(p.entries[i].position.lon, p.entries[i + 1].position.lon);
    EXPECT_EQ(p.LegsCount(), 2);
}

TEST(PlanSubdivision, LegsOfAHundredMilesOrLessAreNotSplitAndRecomputeIsStable) {
    FlightPlanSet set = MakeSet();
    FlightPlan p = Straight({0, 100, 150, 330});
    set.Recompute(p);
    // 100: none; 50: none; 180: one point at 90.
    ASSERT_EQ(p.entries.size(), 5u);
    EXPECT_NEAR(p.entries[0].legLength, 100, 0.05);
    EXPECT_NEAR(p.entries[1].legLength, 50, 0.05);
    EXPECT_NEAR(p.entries[2].legLength, 90, 0.05);
    EXPECT_NEAR(p.entries[3].legLength, 90, 0.05);
    EXPECT_EQ(p.entries[3].onLegs, 0);
    const std::string first = Describe(p);
    set.Recompute(p);  // hidden points are dropped and made again: nothing changes
    EXPECT_EQ(Describe(p), first);
}

TEST(PlanRecompute, OneEntryHasNoLegAndTheLastEntryLeadsNowhere) {
    FlightPlanSet set = MakeSet();
    FlightPlan p = Straight({0});
    p.entries[0].course = 12;
    p.entries[0].legsDistance = 5;
    set.Recompute(p);
    EXPECT_EQ(p.entries[0].course, -1.0f);
    EXPECT_EQ(p.entries[0].legLength, -1.0f);
    EXPECT_EQ(p.entries[0].legsDistance, -1.0f);
    EXPECT_EQ(p.totalDistance, 0.0f);

    FlightPlan q = Straight({0, 10, 20});
    set.Recompute(q);
    q.entries.pop_back();  // the old middle entry becomes the last
    set.Recompute(q);
    EXPECT_EQ(q.entries[1].legsDistance, -1.0f);
    EXPECT_EQ(q.entries[1].legDistance, -1.0f);
    EXPECT_NEAR(q.totalDistance, 10, 0.01);
}

TEST(PlanRecompute, CourseAndDistanceOfEachLeg) {
    FlightPlanSet set = MakeSet();
    FlightPlan p;
    p.entries.push_back(PlainAt(0, 0, "A"));
    p.entries.push_back(PlainAt(0, LonDegForNm(30), "B"));
    p.entries.push_back(PlainAt(-30 / kNmPerDeg, LonDegForNm(30), "C"));
    set.Recompute(p);
    EXPECT_NEAR(p.entries[0].course, 90, 0.01);
    EXPECT_NEAR(p.entries[1].course, 180, 0.01);
    EXPECT_NEAR(p.entries[0].legDistance, 30, 0.01);
    EXPECT_NEAR(p.entries[1].legDistance, 30, 0.01);
}

TEST(PlanRecompute, LegsDistanceSumsUpToTheNextLegsEntry) {
    FlightPlanSet set = MakeSet();
    FlightPlan p = Straight({0, 10, 25, 45, 60});
    p.entries[1].onLegs = 0;  // a route-only entry
    p.entries[2].onLegs = 0;
    set.Recompute(p);
    EXPECT_NEAR(p.entries[0].legsDistance, 45, 0.01);  // 10 + 15 + 20 to the next legs entry
    EXPECT_NEAR(p.entries[3].legsDistance, 15, 0.01);
    // A pending entry still waiting at the end keeps its great-circle distance.
    FlightPlan q = Straight({0, 10, 30});
    q.entries[1].onLegs = 0;
    q.entries[2].onLegs = 0;
    set.Recompute(q);
    EXPECT_NEAR(q.entries[0].legsDistance, 10, 0.01);
}

TEST(PlanRecompute, HiddenPointsAreRemovedAndVerticalPathPointsFollowTheirEntries) {
    FlightPlanSet set = MakeSet();
    FlightPlan p = Straight({0, 250, 260});
    set.Recompute(p);
    ASSERT_EQ(p.entries.size(), 5u);  // P0 h h P1 P2
    p.verticalPath.push_back(VPathPoint{});
    p.verticalPath.back().entryIndex = 4;  // P2
    p.verticalPath.push_back(VPathPoint{});
    p.verticalPath.back().entryIndex = 1;  // a hidden point
    p.EraseEntries(0, 1);  // P0 goes: the long leg goes with it
    set.Recompute(p);
    ASSERT_EQ(p.entries.size(), 2u);
    EXPECT_EQ(p.entries[1].name, "P2");
    EXPECT_EQ(p.verticalPath[0].entryIndex, 1);
    EXPECT_EQ(p.verticalPath[1].entryIndex, -1);
}

// ---- Turn geometry ---------------------------------------------------------------------------
TEST(TurnRadius, FromThePerformanceTableAtWeight10000OrStandardRateAt250Kt) {
    EXPECT_NEAR(TurnRadiusNm(nullptr), 250.0 / 3600 * 120 / (2 * std::numbers::pi), 1e-4);
    PerfSpecTable empty;
    EXPECT_NEAR(TurnRadiusNm(&empty), 1.32629, 1e-4);

    PerfSpecTable table;
    auto entry = [](float weight, float crz) {
        WeightEntry w;
        w.weight = weight;
        w.optCrzSpd = crz;
        w.speeds = {SpeedRow{{}, 2.0f, 200.0f}, SpeedRow{{}, 1.0f, 400.0f}};
        return w;
    };
    table.replace({entry(5000, 280), entry(15000, 320)});
    // V = 300 kt, rate 1.5 deg/s at 300 kt: a full circle of 240 s is 20 nm around.
    EXPECT_NEAR(TurnRadiusNm(&table), 20.0 / (2 * std::numbers::pi), 1e-3);
    FlightPlanSet set = MakeSet(&table);
    EXPECT_NEAR(set.TurnRadiusNm(), 3.1831, 1e-3);
}

struct TurnCase {
    double turnDeg;  // left positive
};

// Inbound east along the equator to B, outbound turned by the given angle.
FlightPlan Corner(double turnDeg, double legNm = 20) {
    FlightPlan p;
    const double b = LonDegForNm(legNm);
    const double heading = (90 - turnDeg) / 57.29578;  // course of the outbound leg, from north
    p.entries.push_back(PlainAt(0, 0, "A"));
    p.entries.push_back(PlainAt(0, b, "B"));
    p.entries.push_back(PlainAt(legNm * std::cos(heading) / kNmPerDeg, b + legNm * std::sin(heading) / kNmPerDeg, "C"));
    return p;
}

TEST(TurnGeometry, TangentPointsCentreAndMidpointMatchThePlaneGeometry) {
    const float r = TurnRadiusNm(nullptr);
    for (double turn : {90.0, -90.0, 60.0, -45.0, 120.0}) {
        FlightPlanSet set = MakeSet();
        FlightPlan p = Corner(turn);
        set.Recompute(p);
        const WaypointEntry& b = p.entries[1];
        const double half = std::abs(turn) / 2 / 57.29578;
        SCOPED_TRACE(turn);
        EXPECT_NEAR(b.turnAngle, std::abs(turn) / 57.29578, 1e-3);
        EXPECT_FLOAT_EQ(b.turnRadius, r);
        EXPECT_NEAR(b.entryDistance, r * std::tan(half), 0.01);
        EXPECT_NEAR(b.exitDistance, r * std::tan(half), 0.01);
        // Centre: R to the inside of the inbound leg, level with the entry point.
        const double side = turn > 0 ? 1 : -1;
        EXPECT_NEAR(b.turnCenter.lat * 57.29578 * kNmPerDeg, side * r, 0.01);
        EXPECT_NEAR(b.turnCenter.lon * 57.29578 * kNmPerDeg, 20 - r * std::tan(half), 0.01);
        EXPECT_NEAR(b.entryPoint.lat, 0, 1e-6);
        EXPECT_NEAR(GreatCircleDistance(b.turnMidpoint, b.position), r / std::cos(half) - r, 0.01);
        EXPECT_NEAR(GreatCircleDistance(b.turnMidpoint, b.turnCenter), r, 0.01);
        EXPECT_NEAR(GreatCircleDistance(b.exitPoint, b.turnCenter), r, 0.01);
        // Each leg loses the straight part the turn replaces and gains half the arc.
        const double arcHalf = std::abs(turn) / 57.29578 * r / 2;
        EXPECT_NEAR(p.entries[0].legLength, 20 - r * std::tan(half) + arcHalf, 0.01);
        EXPECT_NEAR(p.entries[1].legLength, 20 - r * std::tan(half) + arcHalf, 0.01);
        EXPECT_FLOAT_EQ(p.totalDistance, SumOfLegLengths(p));
        EXPECT_NEAR(p.entries[0].legsDistance, p.entries[0].legLength, 1e-6);
    }
}

TEST(TurnGeometry, NoTurnBelowFourOrAboveHundredThirtyFiveDegrees) {
    for (double turn : {3.0, 150.0}) {
        FlightPlanSet set = MakeSet();
        FlightPlan p = Corner(turn);
        set.Recompute(p);
        SCOPED_TRACE(turn);
        EXPECT_NEAR(p.entries[1].turnAngle, turn / 57.29578, 1e-3);  // the angle is kept
        EXPECT_EQ(p.entries[1].entryDistance, -1.0f);
        EXPECT_EQ(p.entries[1].exitDistance, -1.0f);
        EXPECT_NEAR(p.entries[0].legLength, 20, 0.01);
    }
}

TEST(TurnGeometry, ATurnThatDoesNotFitItsLegsIsNotFlown) {
    FlightPlanSet set = MakeSet();
    FlightPlan p = Corner(90, 0.8);  // tangent points 1.33 nm out, legs of 0.8 nm
    set.Recompute(p);
    EXPECT_EQ(p.entries[1].entryDistance, -1.0f);
    EXPECT_NEAR(p.totalDistance, 1.6, 0.01);
}

TEST(TurnGeometry, ATurnOfAnEarlierShapeDoesNotSurviveAnEdit) {
    FlightPlanSet set = MakeSet();
    FlightPlan p = Corner(90);
    set.Recompute(p);
    ASSERT_GT(p.entries[1].entryDistance, 0);
    p.entries[2] = PlainAt(0, LonDegForNm(40), "C");  // now a straight line
    set.Recompute(p);
    EXPECT_EQ(p.entries[1].entryDistance, -1.0f);
    EXPECT_EQ(p.entries[1].exitDistance, -1.0f);
    EXPECT_NEAR(p.totalDistance, 40, 0.01);
}

// Turns of 134 degrees left and right on 8.4 nm legs at a 3.18 nm radius: each turn alone fits
// (7.5 nm of tangent), two on one leg would take 15 nm of it. Both are flown at the radius at
// which they just meet, R' = 4.2 / tan 67 deg, and no leg is flown backwards.
TEST(TurnGeometry, TwoTurnsOnOneLegAreFlownTighterSoTheyNeverOverlap) {
    PerfSpecTable table;
    WeightEntry w;
    w.weight = 10000;
    w.optCrzSpd = 300;
    w.speeds = {SpeedRow{{}, 2.0f, 200.0f}, SpeedRow{{}, 1.0f, 400.0f}};
    table.replace({w});
    FlightPlanSet set = MakeSet(&table);
    ASSERT_NEAR(set.TurnRadiusNm(), 3.1831, 1e-3);

    const double legNm = 8.4, turnDeg = 134;
    FlightPlan p;
    double x = 0, y = 0, courseDeg = 90;
    for (int n = 0; n < 6; ++n) {
        p.entries.push_back(PlainAt(y / kNmPerDeg, x / kNmPerDeg, "Z" + std::to_string(n)));
        x += legNm * std::sin(courseDeg / 57.29578);
        y += legNm * std::cos(courseDeg / 57.29578);
        courseDeg += n % 2 ? turnDeg : -turnDeg;
    }
    set.Recompute(p);

    const double half = turnDeg / 2 / 57.29578;
    const double tighter = legNm / 2 / std::tan(half);
    const double arc = turnDeg / 57.29578 * tighter;
    for (size_t i = 1; i + 1 < p.entries.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_NEAR(p.entries[i].turnRadius, tighter, 0.01);
        EXPECT_NEAR(p.entries[i].entryDistance, legNm / 2, 0.01);
        EXPECT_NEAR(GreatCircleDistance(p.entries[i].turnCenter, p.entries[i].entryPoint), tighter, 0.01);
    }
    for (size_t i = 0; i + 1 < p.entries.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_LE(std::max(p.entries[i].exitDistance, 0.0f) + std::max(p.entries[i + 1].entryDistance, 0.0f),
                  p.entries[i].legDistance + 1e-3f);
        EXPECT_GE(p.entries[i].legLength, 0.0f);
    }
    EXPECT_NEAR(p.entries[0].legLength, legNm / 2 + arc / 2, 0.01);
    EXPECT_NEAR(p.entries[2].legLength, arc, 0.01);  // nothing straight left between the turns
    EXPECT_FLOAT_EQ(p.totalDistance, SumOfLegLengths(p));
}

// Positions whose angles say nothing sensible (a longitude of 1e15 rad) still end the halving:
// never more points than the leg's great-circle length needs, and one for rounding.
TEST(PlanSubdivision, NonsensePositionsEndTheSplittingOfTheirLeg) {
    FlightPlanSet set = MakeSet();
    FlightPlan p;
    p.entries.push_back(PlainAt(0, 0, "A"));
    WaypointEntry far;
    far.position = MakeSurfacePoint(0.3f, 1e15f);
    far.name = "FAR";
    far.onLegs = far.onFpln = 1;
    p.entries.push_back(far);
    p.entries.push_back(PlainAt(10, 10, "B"));
    set.Recompute(p);
    // Even 10,800 nm halved 7 times is under 100 nm: at most 8 points for each of the two legs.
    EXPECT_LE(p.entries.size(), 3u + 2 * 8);
    EXPECT_EQ(p.LegsCount(), 3);
}

TEST(TurnGeometry, TurnAllowancesStayWithTheirPiecesOfASubdividedLeg) {
    FlightPlanSet set = MakeSet();
    FlightPlan p = Corner(90, 250);
    set.Recompute(p);
    // A (h h) B (h h) C: the first leg's last piece and the second leg's first piece carry
    // the turn at B.
    ASSERT_EQ(p.entries.size(), 7u);
    const float r = TurnRadiusNm(nullptr);
    const double allowance = -r + std::numbers::pi / 4 * r;
    EXPECT_NEAR(p.entries[0].legLength, 62.5, 0.05);
    EXPECT_NEAR(p.entries[2].legLength, 125 + allowance, 0.05);
    EXPECT_NEAR(p.entries[3].legLength, 62.5 + allowance, 0.05);
    EXPECT_FLOAT_EQ(p.totalDistance, SumOfLegLengths(p));
    EXPECT_NEAR(p.totalDistance, 500 + 2 * allowance, 0.2);
}

}  // namespace
}  // namespace halvex
