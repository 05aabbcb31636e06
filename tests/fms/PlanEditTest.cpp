// The crew's edits on the bundled western-US data: airports and runways, waypoint, bearing/
// distance and airway insertion, deletions, direct-to, altitudes, activation and cancel, with
// the modified-or-active selection and the failure cases that must change nothing.
#include <gtest/gtest.h>

#include "PlanTestSupport.h"
#include "support/SphereMath.h"

namespace halvex {
namespace {

using namespace test;
using Names = std::vector<std::string>;

class PlanEditTest : public ::testing::Test {
protected:
    PlanEditTest() : db(BundledDatabase()), set(&db, nullptr, &aircraft, &guidance) {}

    int32_t fix(const char* ident) const { return db.FindWaypoints(ident).first; }
    int32_t runway(const char* airportIcao, const char* ident) const {
        const NavAirport* a = db.GetAirport(db.FindAirport(airportIcao));
        for (size_t i = 0; a && i < a->runways.size(); ++i)
            if (a->runways[i].Ident() == ident) return static_cast<int32_t>(i);
        return -1;
    }
    int32_t airway(const char* name, const char* member) const { return db.FindAirwayContaining(fix(member), name); }

    // KSEA RWY16L ... KPDX, executed.
    void activeSeaToPdx() {
        ASSERT_EQ(set.setOrigin("KSEA"), 0);
        ASSERT_EQ(set.setDestination("KPDX"), 0);
        ASSERT_EQ(set.setOriginRunway(runway("KSEA", "16L")), 0);
        set.activate();
    }
    // The state of both plans and the flag, for "nothing changed" checks.
    std::string state() const { return Describe(set.Active()) + "|" + Describe(set.Modified()) + (set.isModifying() ? "M" : "-"); }

    InDataRoot inDataRoot;
    const NavDatabase& db;
    SettableAircraft aircraft;
    RecordingGuidance guidance;
    FlightPlanSet set;
};

// ---- Airports and runways ----------------------------------------------------------------
TEST_F(PlanEditTest, OriginAndDestinationBuildTheFirstEntriesAndLoadProcedures) {
    EXPECT_EQ(set.setOrigin("KSEA"), 0);
    EXPECT_TRUE(set.isModifying());
    EXPECT_EQ(set.setDestination("KPDX"), 0);
    const FlightPlan& m = set.Modified();
    EXPECT_EQ(LegsNames(m), (Names{"KSEA", "KPDX"}));
    EXPECT_EQ(m.FplnCount(), 0);
    EXPECT_EQ(m.LegsEntry(0)->kind, 0);
    EXPECT_EQ(m.LegsEntry(1)->kind, 1);
    EXPECT_EQ(m.entries.size(), 3u);  // 112 nm: one hidden point
    EXPECT_EQ(m.origin, db.FindAirport("KSEA"));
    EXPECT_EQ(m.entries[0].fixIndex, db.FindAirportWaypoint("KSEA"));
    ASSERT_NE(m.originProcedures, nullptr);
    EXPECT_FALSE(m.originProcedures->sids.empty());
    ASSERT_NE(m.destinationProcedures, nullptr);
    EXPECT_TRUE(set.Active().empty());
    EXPECT_NEAR(m.totalDistance, m.entries[0].legDistance, 0.01);
}

TEST_F(PlanEditTest, UnknownAirportChangesNothingAndAnAirportWithoutProceduresStaysSet) {
    const std::string before = state();
    EXPECT_EQ(set.setOrigin("XXXX"), -1);
    EXPECT_EQ(set.setOrigin(""), -1);
    EXPECT_EQ(state(), before);
    EXPECT_EQ(set.setOrigin("KBFI"), -1);  // no procedure file
    EXPECT_TRUE(set.isModifying());
    EXPECT_EQ(set.Modified().origin, db.FindAirport("KBFI"));
    EXPECT_EQ(set.Modified().originProcedures, nullptr);
}

TEST_F(PlanEditTest, ANewOriginReplacesTheOldOneAndDropsItsRunway) {
    activeSeaToPdx();
    EXPECT_EQ(set.setOrigin("KBOI"), 0);
    EXPECT_EQ(LegsNames(set.Modified()), (Names{"KBOI", "KPDX"}));
    EXPECT_EQ(set.Modified().originRunway, -1);
    EXPECT_EQ(LegsNames(set.Active()), (Names{"KSEA", "RWY16L", "KPDX"}));
}

TEST_F(PlanEditTest, RunwaysGoNextToTheirAirportsWithTheThresholdElevation) {
    activeSeaToPdx();
    EXPECT_EQ(set.setDestinationRunway(runway("KPDX", "10R")), 0);
    EXPECT_EQ(set.setOriginRunway(runway("KSEA", "34R")), 0);  // replaces 16L
    const FlightPlan& m = set.Modified();
    EXPECT_EQ(LegsNames(m), (Names{"KSEA", "RWY34R", "RWY10R", "KPDX"}));
    EXPECT_EQ(m.LegsEntry(1)->kind, 2);
    EXPECT_EQ(m.LegsEntry(2)->kind, 3);
    EXPECT_EQ(m.LegsEntry(1)->altitude, 433.0f);
    EXPECT_EQ(m.originRunway, runway("KSEA", "34R"));
    EXPECT_EQ(set.Active().originRunway, runway("KSEA", "16L"));
}

TEST_F(PlanEditTest, ARefusedRunwayChangesNothing) {
    EXPECT_EQ(set.setOriginRunway(0), -1);  // no origin yet
    EXPECT_FALSE(set.isModifying());
    EXPECT_TRUE(set.Modified().empty());
    activeSeaToPdx();
    const std::string before = state();
    EXPECT_EQ(set.setOriginRunway(99), -1);
    EXPECT_EQ(set.setOriginRunway(-1), -1);
    EXPECT_EQ(set.setDestinationRunway(1000), -1);
    EXPECT_EQ(state(), before);
}

// ---- Waypoint insertion ----------------------------------------------------------------------
TEST_F(PlanEditTest, InsertionNeedsOriginDestinationAndValidIndexes) {
    EXPECT_EQ(set.insertLegsWaypoint(fix("SEA"), 1), -1);
    EXPECT_EQ(set.setOrigin("KSEA"), 0);
    EXPECT_EQ(set.insertFplnWaypoint(fix("SEA"), 0), -1);  // no destination
    set.cancelModification();
    activeSeaToPdx();
    const std::string before = state();
    EXPECT_EQ(set.insertLegsWaypoint(fix("SEA"), -1), -1);
    EXPECT_EQ(set.insertLegsWaypoint(-1, 1), -1);
    EXPECT_EQ(set.insertLegsWaypoint(db.WaypointCount(), 1), -1);
    EXPECT_EQ(set.insertFplnWaypoint(fix("SEA"), -3), -1);
    EXPECT_EQ(set.insertLegsPbd(fix("SEA"), 1, 90, std::nanf("")), -1);
    EXPECT_EQ(set.insertLegsPbd(fix("SEA"), 1, 90, -5), -1);
    EXPECT_EQ(set.insertLegsPbd(fix("SEA"), 1, 90, 3e38f), -1);
    EXPECT_EQ(state(), before);
}

TEST_F(PlanEditTest, LegsInsertionGoesInFrontOfThePositionOrAtTheEnd) {
    activeSeaToPdx();
    EXPECT_EQ(set.insertLegsWaypoint(fix("BTG"), 2), 0);
    EXPECT_EQ(set.insertLegsWaypoint(fix("OLM"), 2), 0);
    EXPECT_EQ(set.insertLegsWaypoint(fix("UBG"), 99), 0);  // past the end: appended
    EXPECT_EQ(LegsNames(set.Modified()), (Names{"KSEA", "RWY16L", "OLM", "BTG", "KPDX", "UBG"}));
    EXPECT_EQ(FplnNames(set.Modified()), (Names{"OLM", "BTG", "UBG"}));
    EXPECT_EQ(LegsNames(set.Active()), (Names{"KSEA", "RWY16L", "KPDX"}));  // untouched
    EXPECT_EQ(set.Current().LegsCount(), 6);
}

TEST_F(PlanEditTest, LegsPositionZeroReplacesTheFirstEntryByADirectFromPoint) {
    activeSeaToPdx();
    aircraft.position = MakeSurfacePoint(Rad(47.0), Rad(-122.5));
    EXPECT_EQ(set.insertLegsWaypoint(fix("BTG"), 0), 0);
    const FlightPlan& m = set.Modified();
    EXPECT_EQ(LegsNames(m), (Names{"(DC)", "BTG", "RWY16L", "KPDX"}));
    EXPECT_EQ(m.entries[0].kind, 14);
    EXPECT_EQ(m.entries[0].fixIndex, -1);
    EXPECT_EQ(m.entries[0].onFpln, 0);
    EXPECT_FLOAT_EQ(m.entries[0].position.lat, Rad(47.0));
    EXPECT_EQ(m.entries[0].altitude, -1.0f);
}

TEST_F(PlanEditTest, InsertingIntoAPlanWithoutEntriesMakesADirectFromPointFirst) {
    // Origin and destination set but every entry deleted, with nothing active to copy.
    ASSERT_EQ(set.setOrigin("KSEA"), 0);
    ASSERT_EQ(set.setDestination("KPDX"), 0);
    ASSERT_EQ(set.deleteLegsWaypoints(0, 2), 0);
    ASSERT_TRUE(set.Modified().empty());
    EXPECT_EQ(set.insertLegsWaypoint(fix("BTG"), 5), 0);
    EXPECT_EQ(LegsNames(set.Modified()), (Names{"(DC)", "BTG"}));
    EXPECT_EQ(FplnNames(set.Modified()), (Names{"BTG"}));
}

// The bearing is magnetic: the true course is the bearing plus the easterly variation of the
// grid at the fix (Seattle lies near 15 degrees east). The expected point comes from the
// textbook formula; a bearing taken as true, or the variation subtracted, lands 10 or 20 nm away.
TEST_F(PlanEditTest, BearingDistancePointLiesAlongTheMagneticBearingAndIsNoDatabaseFix) {
    activeSeaToPdx();
    EXPECT_EQ(set.insertLegsPbd(fix("SEA"), 2, 90, 40), 0);
    const WaypointEntry* e = set.Modified().LegsEntry(2);
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(e->name, "SEA_FIX");
    EXPECT_EQ(e->fixIndex, -1);
    EXPECT_EQ(e->onFpln, 1);

    const NavWaypoint* sea = db.GetWaypoint(fix("SEA"));
    const LatLonDeg from{sea->lat * kDegPerRadian, sea->lon * kDegPerRadian};
    const double variationDeg = MagneticVariation(static_cast<float>(from.lat), static_cast<float>(from.lon));
    ASSERT_GT(variationDeg, 10);
    ASSERT_LT(variationDeg, 20);
    // The 40 nm are stepped off in the tangent plane of the sphere that holds the surface points
    // (radius 3443.9185 nm) and projected back onto it.
    const double arcNm = kNmPerRadian * std::atan(40.0 / 3443.9185);
    const LatLonDeg expected = SphereDestination(from, 90 + variationDeg, arcNm);
    const LatLonDeg got{e->position.lat * kDegPerRadian, e->position.lon * kDegPerRadian};
    EXPECT_NEAR(SphereDistanceNm(got, expected), 0, 0.01);
    EXPECT_NEAR(SphereDistanceNm(got, from), arcNm, 0.01);
}

TEST_F(PlanEditTest, RouteInsertionPastTheEndGoesInFrontOfTheArrival) {
    activeSeaToPdx();
    ASSERT_EQ(set.setDestinationRunway(runway("KPDX", "10R")), 0);
    EXPECT_EQ(set.insertFplnWaypoint(fix("BTG"), 0), 0);
    EXPECT_EQ(set.insertFplnWaypoint(fix("OLM"), 0), 0);  // in front of route position 0
    EXPECT_EQ(set.insertFplnWaypoint(fix("UBG"), 7), 0);  // past the end
    EXPECT_EQ(LegsNames(set.Modified()), (Names{"KSEA", "RWY16L", "OLM", "BTG", "UBG", "RWY10R", "KPDX"}));
}

// ---- Airways ---------------------------------------------------------------------------------
TEST_F(PlanEditTest, AirwaySegmentRunsFromTheStartFixToTheEndFix) {
    activeSeaToPdx();
    ASSERT_EQ(set.setDestination("KSFO"), 0);
    ASSERT_EQ(set.insertFplnWaypoint(fix("SEA"), 0), 0);
    const int32_t j5 = airway("J5", "SEA");
    ASSERT_GE(j5, 0);
    EXPECT_EQ(set.insertAirwaySegment(fix("LKV"), j5, 1), 0);  // past the route view
    const FlightPlan& m = set.Modified();
    EXPECT_EQ(LegsNames(m), (Names{"KSEA", "RWY16L", "SEA", "TAOMA", "SUMMA", "POWEL", "LKV", "KSFO"}));
    EXPECT_EQ(FplnNames(m), (Names{"SEA", "LKV"}));
    EXPECT_EQ(m.LegsEntry(3)->airwayIndex, j5);
    EXPECT_EQ(m.LegsEntry(2)->airwayIndex, -1);
    // Hidden points of the long legs are in neither view.
    EXPECT_GT(m.entries.size(), 8u);

    // Deleting a route entry takes the airway legs that lead to the next one with it; that one
    // is then reached directly.
    EXPECT_EQ(set.deleteFplnWaypoint(0), 0);
    EXPECT_EQ(LegsNames(set.Modified()), (Names{"KSEA", "RWY16L", "LKV", "KSFO"}));
    EXPECT_EQ(set.Modified().LegsEntry(2)->airwayIndex, -1);
}

// An entry whose predecessor changed is no longer reached by the airway that brought it.
TEST_F(PlanEditTest, AnEntryWithANewPredecessorIsReachedDirectly) {
    activeSeaToPdx();
    const int32_t j5 = airway("J5", "SEA");
    auto seaToLkvByJ5 = [&] {
        set.cancelModification();
        ASSERT_EQ(set.setDestination("KSFO"), 0);
        ASSERT_EQ(set.insertFplnWaypoint(fix("SEA"), 0), 0);
        ASSERT_EQ(set.insertAirwaySegment(fix("LKV"), j5, 1), 0);
        ASSERT_EQ(LegsNames(set.Modified()), (Names{"KSEA", "RWY16L", "SEA", "TAOMA", "SUMMA", "POWEL", "LKV", "KSFO"}));
    };
    auto airwayOf = [&](const char* name) {
        for (const WaypointEntry& e : set.Modified().entries)
            if (e.name == name) return e.airwayIndex;
        ADD_FAILURE() << name << " not in the plan";
        return -2;
    };

    seaToLkvByJ5();
    ASSERT_EQ(airwayOf("LKV"), j5);
    // In front of the airway's end fix (route view).
    ASSERT_EQ(set.insertFplnWaypoint(fix("BTG"), 1), 0);
    EXPECT_EQ(LegsNames(set.Modified()), (Names{"KSEA", "RWY16L", "SEA", "TAOMA", "SUMMA", "POWEL", "BTG", "LKV", "KSFO"}));
    EXPECT_EQ(airwayOf("LKV"), -1);
    EXPECT_EQ(airwayOf("POWEL"), j5);
    // A leg inside the airway deleted: the next one is flown to directly.
    ASSERT_EQ(set.deleteLegsWaypoint(3), 0);  // TAOMA
    EXPECT_EQ(airwayOf("SUMMA"), -1);
    EXPECT_EQ(airwayOf("POWEL"), j5);
    // In front of an airway leg (legs view).
    ASSERT_EQ(set.insertLegsWaypoint(fix("OLM"), 4), 0);  // in front of POWEL
    EXPECT_EQ(airwayOf("POWEL"), -1);

    // Direct-to: the target is reached from the present position.
    seaToLkvByJ5();
    ASSERT_EQ(set.directTo(4), 0);  // SUMMA
    EXPECT_EQ(LegsNames(set.Modified()), (Names{"(DC)", "SUMMA", "POWEL", "LKV", "KSFO"}));
    EXPECT_EQ(airwayOf("SUMMA"), -1);
    EXPECT_EQ(airwayOf("POWEL"), j5);
}

TEST_F(PlanEditTest, AirwayInsertionFailuresLeaveThePlansUnchanged) {
    activeSeaToPdx();
    ASSERT_EQ(set.insertFplnWaypoint(fix("BTG"), 0), 0);  // BTG is not on J5
    const int32_t j5 = airway("J5", "SEA");
    const std::string before = state();
    EXPECT_EQ(set.insertAirwaySegment(fix("LKV"), j5, 0), -1);   // start fix not on the airway
    EXPECT_EQ(set.insertAirwaySegment(fix("BTG"), j5, 0), -1);   // end fix not on the airway
    EXPECT_EQ(set.insertAirwaySegment(fix("LKV"), -1, 0), -1);
    EXPECT_EQ(set.insertAirwaySegment(-1, j5, 0), -1);
    EXPECT_EQ(set.insertAirwaySegment(fix("LKV"), j5, -1), -1);
    EXPECT_EQ(state(), before);
    set.cancelModification();
    const std::string idle = state();
    EXPECT_EQ(set.insertAirwaySegment(fix("LKV"), j5, 5), -1);  // no route entry to start from
    EXPECT_EQ(state(), idle);  // no modification left behind
}

TEST_F(PlanEditTest, AirwayWalksBackwardsWhenTheEndComesFirst) {
    activeSeaToPdx();
    ASSERT_EQ(set.insertFplnWaypoint(fix("LKV"), 0), 0);
    EXPECT_EQ(set.insertAirwaySegment(fix("SEA"), airway("J5", "SEA"), 1), 0);
    EXPECT_EQ(LegsNames(set.Modified()), (Names{"KSEA", "RWY16L", "LKV", "POWEL", "SUMMA", "TAOMA", "SEA", "KPDX"}));
}

// ---- Deletions -------------------------------------------------------------------------------
class PlanDeleteTest : public PlanEditTest {
protected:
    void SetUp() override {
        activeSeaToPdx();
        for (const char* f : {"OLM", "BTG", "UBG", "SEA"}) ASSERT_EQ(set.insertLegsWaypoint(fix(f), set.Current().LegsCount() - 1), 0);
        set.activate();
        // KSEA RWY16L OLM BTG UBG SEA KPDX
        ASSERT_EQ(LegsNames(set.Active()), (Names{"KSEA", "RWY16L", "OLM", "BTG", "UBG", "SEA", "KPDX"}));
    }
};

TEST_F(PlanDeleteTest, RangesDeleteFromTheLowerPositionAndAnEmptyRangeNothing) {
    EXPECT_EQ(set.deleteLegsWaypoints(3, 3), 0);
    EXPECT_EQ(LegsNames(set.Modified()), LegsNames(set.Active()));
    EXPECT_EQ(set.deleteLegsWaypoints(5, 2), 0);
    EXPECT_EQ(LegsNames(set.Modified()), (Names{"KSEA", "RWY16L", "SEA", "KPDX"}));
}

TEST_F(PlanDeleteTest, FailedDeletionsKeepTheModificationInProgress) {
    ASSERT_EQ(set.deleteLegsWaypoint(2), 0);
    const std::string before = state();
    EXPECT_EQ(set.deleteLegsWaypoint(6), -1);
    EXPECT_EQ(set.deleteLegsWaypoint(-1), -1);
    EXPECT_EQ(set.deleteLegsWaypoints(2, 7), -1);  // the range reaches past the legs view
    EXPECT_EQ(set.deleteLegsWaypoints(-2, 1), -1);
    EXPECT_EQ(set.deleteFplnWaypoint(3), -1);
    EXPECT_EQ(state(), before);
    set.cancelModification();
    const std::string idle = state();
    EXPECT_EQ(set.deleteLegsWaypoint(40), -1);
    EXPECT_EQ(state(), idle);  // nothing begun
}

TEST_F(PlanDeleteTest, DeletingTheLastRouteEntryKeepsTheDestination) {
    EXPECT_EQ(set.deleteFplnWaypoint(3), 0);
    EXPECT_EQ(LegsNames(set.Modified()), (Names{"KSEA", "RWY16L", "OLM", "BTG", "UBG", "KPDX"}));
}

TEST_F(PlanDeleteTest, VerticalPathPointsFollowDeletions) {
    FlightPlan& active = set.Active();
    for (int32_t i : {1, 3, 4, 6}) {
        active.verticalPath.push_back(VPathPoint{});
        active.verticalPath.back().entryIndex = i;
    }
    ASSERT_EQ(set.deleteLegsWaypoint(3), 0);  // BTG, entry 3
    std::vector<int32_t> indexes;
    for (const VPathPoint& p : set.Modified().verticalPath) indexes.push_back(p.entryIndex);
    EXPECT_EQ(indexes, (std::vector<int32_t>{1, -1, 3, 5}));
    EXPECT_EQ(set.Active().verticalPath[1].entryIndex, 3);
}

// ---- Direct-to and altitudes ---------------------------------------------------------------
TEST_F(PlanDeleteTest, DirectToDeletesUpToTheTargetAndStartsFromThePresentPosition) {
    aircraft.position = MakeSurfacePoint(Rad(47.2), Rad(-122.4));
    aircraft.altitudeFt = 8000;
    EXPECT_EQ(set.directTo(0), -1);
    EXPECT_FALSE(set.isModifying());
    EXPECT_TRUE(set.Modified().empty());
    EXPECT_EQ(set.directTo(7), -1);
    EXPECT_EQ(set.directTo(3), 0);
    const FlightPlan& m = set.Modified();
    EXPECT_EQ(LegsNames(m), (Names{"(DC)", "BTG", "UBG", "SEA", "KPDX"}));
    EXPECT_EQ(m.entries[0].altitude, 8000.0f);
    EXPECT_EQ(m.entries[0].kind, 14);
    EXPECT_FLOAT_EQ(m.entries[0].position.lon, Rad(-122.4));
}

TEST_F(PlanDeleteTest, DirectToOneOnlyTurnsTheFirstEntryIntoADirectFromPoint) {
    aircraft.altitudeFt = 70000;  // above the limit: the old constraint stays
    EXPECT_EQ(set.directTo(1), 0);
    const FlightPlan& m = set.Modified();
    EXPECT_EQ(LegsNames(m), (Names{"(DC)", "RWY16L", "OLM", "BTG", "UBG", "SEA", "KPDX"}));
    EXPECT_EQ(m.entries[0].altitude, set.Active().entries[0].altitude);
}

TEST_F(PlanDeleteTest, AltitudesGoToTheCurrentPlanAndAboveTheCeilingAreIgnored) {
    guidance.calls.clear();
    EXPECT_EQ(set.setLegsAltitude(2, 12000), 0);
    EXPECT_EQ(set.Active().LegsEntry(2)->altitude, 12000.0f);  // not modifying: the active plan
    EXPECT_EQ(guidance.calls, (Names{"vpath:7"}));
    EXPECT_EQ(set.setLegsAltitude(2, 65001), 0);
    EXPECT_EQ(set.Active().LegsEntry(2)->altitude, 12000.0f);
    EXPECT_EQ(set.setLegsAltitude(99, 5000), 0);
    ASSERT_EQ(set.deleteLegsWaypoint(4), 0);
    guidance.calls.clear();
    EXPECT_EQ(set.setLegsAltitude(3, 9000), 0);
    EXPECT_EQ(set.Modified().LegsEntry(3)->altitude, 9000.0f);
    EXPECT_EQ(set.Modified().LegsEntry(3)->altitudeKind, 0u);
    EXPECT_TRUE(guidance.calls.empty());
}

TEST_F(PlanDeleteTest, CruiseAltitudeRebuildsTheActiveVerticalPathOnlyWithoutAModification) {
    guidance.calls.clear();
    EXPECT_EQ(set.setCruiseAltitude(35000), 0);
    EXPECT_EQ(set.CruiseAltitudeFt(), 35000.0f);
    EXPECT_EQ(guidance.calls, (Names{"vpath:7"}));
    ASSERT_EQ(set.deleteLegsWaypoint(2), 0);
    guidance.calls.clear();
    set.setCruiseAltitude(31000);
    EXPECT_TRUE(guidance.calls.empty());
    EXPECT_EQ(set.CruiseAltitudeFt(), 31000.0f);
}

TEST_F(PlanDeleteTest, CruiseAltitudeOutsideGroundToSixtyThousandFeetIsRefused) {
    ASSERT_EQ(set.setCruiseAltitude(37000), 0);
    for (float refused : {1e9f, 60001.0f, -1.0f, -1e9f, std::nanf(""), INFINITY}) {
        EXPECT_EQ(set.setCruiseAltitude(refused), -1) << refused;
        EXPECT_EQ(set.CruiseAltitudeFt(), 37000.0f) << refused;
    }
    EXPECT_EQ(set.setCruiseAltitude(60000), 0);
    EXPECT_EQ(set.CruiseAltitudeFt(), 60000.0f);
    EXPECT_EQ(set.setCruiseAltitude(0), 0);
    EXPECT_EQ(set.CruiseAltitudeFt(), 0.0f);
}

// ---- Activate and cancel ---------------------------------------------------------------------
TEST_F(PlanDeleteTest, CancelRestoresTheActiveViewAndActivateHandsOverTheModifiedPlan) {
    const std::string active = Describe(set.Active());
    ASSERT_EQ(set.deleteLegsWaypoint(2), 0);
    EXPECT_EQ(set.Current().LegsCount(), 6);
    set.cancelModification();
    EXPECT_FALSE(set.isModifying());
    EXPECT_TRUE(set.Modified().empty());
    EXPECT_EQ(set.Modified().origin, -1);
    EXPECT_EQ(Describe(set.Current()), active);

    ASSERT_EQ(set.deleteLegsWaypoint(2), 0);
    guidance.calls.clear();
    set.activate();
    EXPECT_EQ(set.Active().LegsCount(), 6);
    EXPECT_NE(set.Active().originProcedures, nullptr);
    EXPECT_TRUE(set.Modified().empty());
    EXPECT_EQ(set.Modified().originProcedures, nullptr);
    EXPECT_EQ(guidance.calls, (Names{"leg:6", "vpath:6", "reset:6"}));
}

// Deleting every leg is an edit like any other: EXEC makes the empty plan active, and nothing
// deleted comes back, neither on the next edit nor after EXEC.
TEST_F(PlanDeleteTest, DeletingEveryLegThenEditingOrExecutingNeverBringsTheEntriesBack) {
    ASSERT_EQ(set.deleteLegsWaypoints(0, set.Active().LegsCount()), 0);
    EXPECT_TRUE(set.Modified().empty());
    EXPECT_TRUE(set.isModifying());
    EXPECT_EQ(set.insertLegsWaypoint(fix("BTG"), 0), 0);  // the next edit starts from the emptied plan
    EXPECT_EQ(LegsNames(set.Modified()), (Names{"(DC)", "BTG"}));
    ASSERT_EQ(set.deleteLegsWaypoints(0, 2), 0);
    ASSERT_EQ(set.setDestination("KSFO"), 0);
    EXPECT_EQ(LegsNames(set.Modified()), (Names{"KSFO"}));

    ASSERT_EQ(set.deleteLegsWaypoint(0), 0);
    guidance.calls.clear();
    set.activate();
    EXPECT_FALSE(set.isModifying());
    EXPECT_TRUE(set.Active().empty());
    EXPECT_EQ(guidance.calls, (Names{"leg:0", "vpath:0", "reset:0"}));
    ASSERT_EQ(set.deleteLegsWaypoint(0), -1);  // nothing left to delete, nothing begun
    EXPECT_FALSE(set.isModifying());
    EXPECT_TRUE(set.Active().empty());
}

// ---- Procedure legs --------------------------------------------------------------------------
TEST_F(PlanEditTest, ClearingAProcedureRemovesItsFirstRunOfLegsAndItsIndexes) {
    activeSeaToPdx();
    FlightPlan& a = set.Active();
    auto leg = [](const char* name, EntryKind kind, double lat) {
        WaypointEntry e = PlainAt(lat, -122.3, name, true, false);
        e.kind = static_cast<int32_t>(kind);
        return e;
    };
    a.InsertEntry(2, leg("S1", EntryKind::SidLeg, 47.3));
    a.InsertEntry(3, leg("S2", EntryKind::SidLeg, 45.0));  // a long leg: hidden points inside the SID
    a.InsertEntry(4, leg("T1", EntryKind::SidTransitionLeg, 44.9));
    a.sid = 2;
    a.sidTransition = 0;
    set.Recompute(a);
    ASSERT_GT(a.entries.size(), 6u);
    EXPECT_EQ(set.clearProcedure(ProcedureSlot::SidTransition), 0);
    EXPECT_TRUE(set.isModifying());
    EXPECT_EQ(LegsNames(set.Modified()), (Names{"KSEA", "RWY16L", "S1", "S2", "KPDX"}));
    EXPECT_EQ(set.Modified().sid, 2);
    EXPECT_EQ(set.Modified().sidTransition, -1);
    EXPECT_EQ(set.clearProcedure(ProcedureSlot::Sid), 0);
    EXPECT_EQ(LegsNames(set.Modified()), (Names{"KSEA", "RWY16L", "KPDX"}));
    EXPECT_EQ(set.Modified().sid, -1);
    EXPECT_EQ(LegsNames(set.Active()).size(), 6u);
}

TEST_F(PlanEditTest, NothingWorksWithoutADatabase) {
    FlightPlanSet bare(nullptr, nullptr, &aircraft);
    EXPECT_EQ(bare.setOrigin("KSEA"), -1);
    EXPECT_EQ(bare.setOriginRunway(0), -1);
    EXPECT_EQ(bare.insertLegsWaypoint(0, 0), -1);
    EXPECT_EQ(bare.insertAirwaySegment(0, 0, 0), -1);
    EXPECT_EQ(bare.deleteLegsWaypoint(0), -1);
    EXPECT_FALSE(bare.isModifying());
}

TEST_F(PlanEditTest, APlanOfOneEntry) {
    ASSERT_EQ(set.setOrigin("KSEA"), 0);
    set.activate();
    ASSERT_EQ(set.Active().entries.size(), 1u);
    EXPECT_EQ(set.Active().entries[0].legsDistance, -1.0f);
    const std::string before = state();
    EXPECT_EQ(set.directTo(1), -1);  // nothing to fly to
    EXPECT_EQ(set.deleteLegsWaypoints(0, 2), -1);
    EXPECT_EQ(set.deleteFplnWaypoint(0), -1);  // an airport is not in the route view
    EXPECT_EQ(set.insertLegsWaypoint(fix("SEA"), 1), -1);  // no destination
    EXPECT_EQ(state(), before);
    EXPECT_EQ(set.deleteLegsWaypoint(0), 0);
    EXPECT_TRUE(set.Modified().empty());
    EXPECT_TRUE(set.isModifying());
    EXPECT_EQ(set.Active().entries.size(), 1u);
}

}  // namespace
}  // namespace halvex
