// The vertical path of a plan: which points a rebuild makes and in what order, the climb and
// descent integration, the table lookups it relies on, and the laws' answers to broken input.
#include <gtest/gtest.h>

#include <random>

#include "GuidanceTestSupport.h"
#include "fms/LateralGuidance.h"
#include "fms/VerticalPath.h"

namespace halvex {
namespace {

using namespace test;

// Two weights, two speeds, three altitudes; rates differ everywhere so a wrong blend shows.
PerfSpecTable SmallTable() {
    PerfSpecTable t;
    std::vector<WeightEntry> entries;
    for (float w : {100000.0f, 140000.0f}) {
        WeightEntry e;
        e.weight = w;
        e.optClbSpd = w < 120000 ? 250 : 270;
        e.optDesSpd = 260;
        e.optCrzSpd = 290;
        for (float spd : {200.0f, 300.0f}) {
            SpeedRow r;
            r.spd = spd;
            r.turnRate = 1.5f;
            for (float alt : {0.0f, 20000.0f, 40000.0f})
                r.altitudes.push_back({alt, 3000 - alt * 0.06f - w * 0.002f + spd, -1500 - alt * 0.03f - spd * 2 + w * 0.001f});
            e.speeds.push_back(r);
        }
        entries.push_back(e);
    }
    t.replace(entries);
    return t;
}

TEST(PerformanceRates, AnswersExactlyAsTheTableDoes) {
    const PerfSpecTable table = SmallTable();
    const PerformanceRates rates(&table);
    std::mt19937 random(7);
    std::uniform_real_distribution<float> weight(80000, 160000), speed(150, 350), altitude(-1000, 45000);
    for (int i = 0; i < 500; ++i) {
        const float w = weight(random), s = speed(random), h = altitude(random);
        EXPECT_NEAR(rates.ClimbFpm(w, s, h), table.climbAt(w, s, h), 1e-2f);
        EXPECT_NEAR(rates.DescentFpm(w, s, h), table.descentAt(w, s, h), 1e-2f);
        EXPECT_NEAR(rates.OptimumClimbSpeedKt(w), table.climbAtOptimum(w, h).second, 1e-3f);
    }
}

TEST(VerticalProfile, ADescentOf2500FeetIsThreeSteps) {
    const PerfSpecTable table = SmallTable();
    const PerformanceRates rates(&table);
    const ClimbDescentRates r{rates, 100000};
    float expected = 0;
    const float speed = 250;
    for (auto [h, step] : {std::pair{9000.0f, 1000.0f}, {8000.0f, 1000.0f}, {7000.0f, 500.0f}}) {
        const float rate = std::abs(table.descentAt(100000, speed, h));
        if (h == 9000.0f) expected += rate * 0.005f * speed * IasToTasFactor(h) / 3600.0f;
        expected += step / rate * speed * IasToTasFactor(h) / 60.0f;
    }
    EXPECT_NEAR(DescentDistanceNm(r, speed, 9000, 6500), expected, 1e-4f);
    EXPECT_EQ(DescentDistanceNm(r, speed, 6500, 9000), 0.0f) << "nothing to descend";
    EXPECT_EQ(ClimbDistanceNm(r, speed, 1e30f, std::nanf("")), 0.0f) << "no endless loop on nonsense";
    EXPECT_NEAR(IasToTasFactor(35500), 1.79432f, 1e-5f);  // index 35
    EXPECT_EQ(IasToTasFactor(-50), 1.0f);
    EXPECT_NEAR(IasToTasFactor(1e9f), 3.57143f, 1e-5f);
}

// Origin, its runway, a climb waypoint, a 200 nm cruise, a STAR fix with a constraint, the
// destination runway and airport: flown from west to east along the equator.
FlightPlan Trip(float starAltitude, AltitudeKind kind) {
    std::vector<WaypointEntry> e{PlainAt(0, 0, "ORIG"), PlainAt(0, LonDegForNm(1), "RWY09"), PlainAt(0, LonDegForNm(30), "CLIMB"),
                                 PlainAt(0, LonDegForNm(230), "STAR1"), PlainAt(0.05, LonDegForNm(250), "RWY27"),
                                 PlainAt(0.05, LonDegForNm(252), "DEST")};
    e[0].kind = static_cast<int32_t>(EntryKind::OriginAirport);
    e[1].kind = static_cast<int32_t>(EntryKind::OriginRunway);
    e[1].altitude = 400;
    e[3].kind = static_cast<int32_t>(EntryKind::StarLeg);
    e[3].altitude = starAltitude;
    e[3].altitudeKind = static_cast<uint32_t>(kind);
    e[4].kind = static_cast<int32_t>(EntryKind::DestinationRunway);
    e[4].altitude = 50;
    e[5].kind = static_cast<int32_t>(EntryKind::DestinationAirport);
    FlightPlan plan = Recomputed(std::move(e));
    plan.origin = 0;
    plan.destination = 1;
    return plan;
}

std::vector<std::string> Kinds(const FlightPlan& p) {
    std::vector<std::string> names;
    for (const VPathPoint& v : p.verticalPath) names.push_back(VPathKindName(v.kind));
    return names;
}

TEST(VerticalPath, ARebuildMakesThePointsInPathOrder) {
    const PerfSpecTable table = SmallTable();
    VerticalPath path(&table);
    FlightPlan plan = Trip(5000, AltitudeKind::At);
    path.Rebuild(plan, {35000, 400, 100000, 1});
    const std::vector<std::string> expected{"BOC", "EOC", "TOD", "BEGIN_RSPD", "END_RSPD", "EOD", "BOD", "EOD"};
    EXPECT_EQ(Kinds(plan), expected);
    ASSERT_EQ(plan.verticalPath.size(), expected.size());
    EXPECT_EQ(plan.verticalPath.back().entryIndex, plan.FindKind(EntryKind::DestinationRunway)) << "ends at the runway";
    EXPECT_EQ(plan.verticalPath.back().altitude, 50.0f);
    const VPathPoint& star = plan.verticalPath[5];
    EXPECT_EQ(star.altitude, 5000.0f);
    EXPECT_EQ(plan.entries[static_cast<size_t>(star.entryIndex)].name, "STAR1");
    // Along the path (west to east here) every point lies at or beyond the one before it.
    for (size_t i = 1; i < plan.verticalPath.size(); ++i)
        EXPECT_GE(plan.verticalPath[i].position.lon, plan.verticalPath[i - 1].position.lon - 1e-6f) << i;
    // The descent start lies where the table says a descent from cruise needs to begin.
    const VPathPoint& tod = plan.verticalPath[2];
    EXPECT_EQ(tod.altitude, 35000.0f);
    EXPECT_GT(GreatCircleDistance(tod.position, plan.entries[static_cast<size_t>(star.entryIndex)].position), 60.0);
}

TEST(VerticalPath, OnlyAtConstraintsShapeTheDescentAndNoDestinationMeansNoPath) {
    const PerfSpecTable table = SmallTable();
    VerticalPath path(&table);
    FlightPlan below = Trip(5000, AltitudeKind::AtOrBelow);
    path.Rebuild(below, {35000, 400, 100000, 1});
    int constraints = 0;
    for (const VPathPoint& v : below.verticalPath) constraints += v.kind == static_cast<int32_t>(VPathKind::EOD);
    EXPECT_EQ(constraints, 1) << "the end of descent only";

    FlightPlan noDestination = Trip(5000, AltitudeKind::At);
    noDestination.destination = -1;
    path.Rebuild(noDestination, {35000, 400, 100000, 1});
    EXPECT_TRUE(noDestination.verticalPath.empty());

    PerfSpecTable empty;
    VerticalPath withoutTable(&empty);
    FlightPlan plan = Trip(5000, AltitudeKind::At);
    withoutTable.Rebuild(plan, {35000, 400, 100000, 1});
    EXPECT_TRUE(plan.verticalPath.empty());
}

TEST(VerticalPath, NonsenseFromTheAircraftNeverReachesTheAutopilot) {
    const PerfSpecTable table = SmallTable();
    VerticalPath path(&table);
    FlightPlan plan = Trip(5000, AltitudeKind::At);
    path.Rebuild(plan, {35000, 400, 100000, 1});
    LateralGuidance lateral;
    for (float bad : {std::nanf(""), 1e30f, -1e30f, 0.0f}) {
        AircraftData a = AircraftAt(0, LonDegForNm(5), 90);
        a.altitudeFt = bad;
        a.indicatedAirspeedKt = bad;
        a.trueAirspeedKt = bad;
        a.longitudinalAccelFtPerS2 = bad;
        a.grossWeightLb = bad;
        a.verticalSpeedFpm = bad;
        SanitizeAircraftData(a);
        RecordingAutopilot ap;
        lateral.ChooseActiveLeg(plan, a);
        lateral.Track(plan, a, nullptr);
        lateral.Steer(plan, a, ap);
        path.Guide(plan, a, lateral, ap);
        for (const std::optional<float>& v : {ap.heading, ap.altitude, ap.verticalSpeed, ap.airspeed})
            if (v) {
                EXPECT_TRUE(std::isfinite(*v)) << bad;
            }
    }
    // Far above the climb target (a simulator that jumped, a lower cruise entered): the command
    // is the steepest descent the autopilot's field holds, never beyond it.
    for (float altitude : {36500.0f, 60000.0f, 99000.0f}) {
        AircraftData a = AircraftAt(0, LonDegForNm(5), 90);
        a.altitudeFt = altitude;
        a.indicatedAirspeedKt = 250;
        a.trueAirspeedKt = 400;
        SanitizeAircraftData(a);
        RecordingAutopilot ap;
        VerticalPath climbing(&table);
        FlightPlan trip = Trip(5000, AltitudeKind::At);
        climbing.Rebuild(trip, {35000, 400, 100000, 1});
        lateral.ChooseActiveLeg(trip, a);
        lateral.Track(trip, a, nullptr);
        climbing.Sequence(trip, a);
        climbing.Guide(trip, a, lateral, ap);
        if (ap.verticalSpeed) {
            EXPECT_GE(*ap.verticalSpeed, -9999.0f) << altitude;
            EXPECT_LE(*ap.verticalSpeed, 9999.0f) << altitude;
        }
    }
    AircraftData lost = AircraftAt(0, 0, 90);
    lost.position.lat = std::nanf("");
    EXPECT_FALSE(SanitizeAircraftData(lost));
}

}  // namespace
}  // namespace halvex
