// Running procedure programs against a small database: every leg rule.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "navdb/Geodesy.h"
#include "navdb/NavDatabase.h"
#include "procedures/LoadProcedures.h"
#include "procedures/SmallNavData.h"
#include "support/TempTree.h"

namespace halvex {
namespace {

class Interpreter : public ::testing::Test {
protected:
    void SetUp() override {
        test::WriteSmallNavData(tree_.root());
        db_.LoadFrom(tree_.root() / "FMCWP" / "NavData");
        ASSERT_GT(db_.WaypointCount(), 0);
    }

    ProcedureBlock load(const std::string& text, const std::string& ident = "KSFO") {
        ProcedureBlock block;
        result_ = LoadProceduresFromText(db_, block, ident, text);
        return block;
    }

    // The one transition of the only SID built from a line of legs.
    std::vector<WaypointEntry> transitionLegs(const std::string& legs, const std::string& ident = "KSFO") {
        const ProcedureBlock block = load("SIDS\nSID D1 FIX PORTE\nTRANSITION T " + legs + "\n", ident);
        if (block.sids.size() != 1 || block.sids[0].transitions.empty()) return {};
        return block.sids[0].transitions[0].legs;
    }

    const NavRunway& runway(const char* ident) const {
        const NavAirport* airport = db_.GetAirport(db_.FindAirport("KSFO"));
        for (const NavRunway& r : airport->runways)
            if (r.Ident() == ident) return r;
        throw std::runtime_error("no runway");
    }
    GeoPoint at(const char* ident) const {
        const NavWaypoint* w = db_.GetWaypoint(db_.FindWaypoints(ident).first);
        return MakeSurfacePoint(w->lat, w->lon);
    }
    static GeoPoint threshold(const NavRunway& r) { return MakeSurfacePoint(r.lat, r.lon); }

    static void expectAt(const WaypointEntry& leg, const GeoPoint& p) {
        EXPECT_NEAR(leg.position.lat, p.lat, 1e-6) << leg.name;
        EXPECT_NEAR(leg.position.lon, p.lon, 1e-6) << leg.name;
    }

    test::TempTree tree_;
    NavDatabase db_;
    int32_t result_ = 0;
};

TEST_F(Interpreter, FixLooksInTheFileFirstNavaidInTheDatabaseFirst) {
    const ProcedureBlock b = load(
        "FIXES\nFIX DUPE LATLON N 10 0 W 20 0\nFIX LOCAL LATLON N 37 30 W 122 30\nENDFIXES\n"
        "STARS\nSTAR A FIX DUPE NAVAID DUPE NAVAID LOCAL FIX PORTE\nENDSTARS\n");
    ASSERT_EQ(result_, 0);
    ASSERT_EQ(b.fixes.size(), 2u);
    ASSERT_EQ(b.stars.size(), 1u);
    const auto& legs = b.stars[0].commonParts.at(0).legs;
    ASSERT_EQ(legs.size(), 4u);
    expectAt(legs[0], MakeSurfacePoint(10.0f / RadToDeg, -20.0f / RadToDeg));
    EXPECT_EQ(legs[0].fixIndex, -1);
    expectAt(legs[1], at("DUPE"));
    EXPECT_EQ(legs[1].fixIndex, db_.FindWaypoints("DUPE").first);
    EXPECT_EQ(legs[2].fixIndex, -1);  // a navaid found only among the file's fixes
    expectAt(legs[2], MakeSurfacePoint(37.5f / RadToDeg, -122.5f / RadToDeg));
    EXPECT_EQ(legs[3].fixIndex, db_.FindWaypoints("PORTE").first);
    for (const WaypointEntry& leg : legs) {
        EXPECT_EQ(leg.airportIndex, -1);
        EXPECT_EQ(leg.runwayIndex, -1);
        EXPECT_FALSE(leg.HasAltitude());
    }
}

TEST_F(Interpreter, SharedIdentsResolveToTheRowNearestTheFirstRunway) {
    const WaypointRun run = db_.FindWaypoints("TWIN");
    ASSERT_EQ(run.count, 3);
    const auto legs = transitionLegs("FIX TWIN NAVAID TWIN");
    ASSERT_EQ(legs.size(), 2u);
    for (const WaypointEntry& leg : legs) {
        EXPECT_NEAR(leg.position.lat * RadToDeg, 37.7, 1e-4);
        const NavWaypoint* row = db_.GetWaypoint(leg.fixIndex);
        ASSERT_NE(row, nullptr);
        EXPECT_EQ(row->Ident(), "TWIN");
        EXPECT_NEAR(row->lat * RadToDeg, 37.7, 1e-4);
    }
    // Without the airport there is no threshold to measure from: the leg and its list end.
    const ProcedureBlock noAirport = load("SIDS\nSID D1 FIX PORTE FIX TWIN FIX MENLO\n", "KZZZ");
    ASSERT_EQ(noAirport.sids.size(), 1u);
    EXPECT_EQ(noAirport.sids[0].commonParts.at(0).legs.size(), 1u);
}

TEST_F(Interpreter, AltitudeSuffixesAndTheirLimit) {
    const auto legs = transitionLegs(
        "FIX PORTE AT OR ABOVE 4000 FIX PORTE 4000 FIX PORTE AT 65001 FIX PORTE AT OR BELOW 65000 FIX PORTE AT 1234.5");
    ASSERT_EQ(legs.size(), 5u);
    EXPECT_EQ(legs[0].altitudeKind, 2u);
    EXPECT_FLOAT_EQ(legs[0].altitude, 4000.0f);
    EXPECT_EQ(legs[1].altitudeKind, 0u);
    EXPECT_FLOAT_EQ(legs[1].altitude, 4000.0f);
    EXPECT_FALSE(legs[2].HasAltitude());
    EXPECT_EQ(legs[2].altitudeKind, 0u);
    EXPECT_EQ(legs[3].altitudeKind, 1u);
    EXPECT_FLOAT_EQ(legs[3].altitude, 65000.0f);
    EXPECT_FLOAT_EQ(legs[4].altitude, 1234.5f);
}

TEST_F(Interpreter, RunwayLegs) {
    const ProcedureBlock b = load("SIDS\nSID D1 FIX PORTE\nRNW 28L RNW 99 FIX WESLA\nRNW 28R FIX PORTE\n");
    ASSERT_EQ(b.sids.size(), 1u);
    const ProcedureRecord& sid = b.sids[0];
    ASSERT_EQ(sid.runwayParts.size(), 3u);  // 28L, 99 (no runway, but its legs), 28R
    const auto& first = sid.runwayParts[0].legs;
    ASSERT_EQ(first.size(), 3u);
    EXPECT_EQ(first[0].name, "RWY28L");
    expectAt(first[0], threshold(runway("28L")));
    EXPECT_EQ(first[0].airportIndex, db_.FindAirport("KSFO"));
    EXPECT_EQ(first[0].runwayIndex, 0);
    EXPECT_EQ(first[0].fixIndex, -1);
    EXPECT_FLOAT_EQ(first[0].altitude, 13.0f);
    EXPECT_EQ(first[0].altitudeKind, 0u);
    EXPECT_EQ(first[1].name, "WESLA");
    EXPECT_EQ(first[2].name, "PORTE");
    const auto& unknown = sid.runwayParts[1].legs;  // the unknown runway is dropped, its legs stay
    ASSERT_EQ(unknown.size(), 2u);
    EXPECT_EQ(unknown[0].name, "WESLA");
    EXPECT_EQ(sid.runwayParts[2].legs.size(), 2u);  // junction fix PORTE once
    EXPECT_EQ(sid.runways, (std::vector<int32_t>{0, 1}));

    // A threshold above the altitude limit gives no constraint.
    const ProcedureBlock high = load("APPROACHES\nAPPROACH A RNW 09\n", "KHIG");
    ASSERT_EQ(high.approaches.size(), 1u);
    const WaypointEntry& rwy = high.approaches[0].runwayParts.at(0).legs.at(0);
    EXPECT_EQ(rwy.name, "RWY09");
    EXPECT_FALSE(rwy.HasAltitude());
}

TEST_F(Interpreter, UntilGivesADistanceBelowOneHundredAndOneMileOtherwise) {
    const ProcedureBlock b = load("SIDS\nSID D1 FIX PORTE\nRNW 28L TRK 090 UNTIL 3000\nRNW 28R TRK 090 UNTIL 5\n");
    ASSERT_EQ(b.sids.size(), 1u);
    const auto& altitudeLegs = b.sids[0].runwayParts.at(0).legs;
    const auto& distanceLegs = b.sids[0].runwayParts.at(1).legs;
    ASSERT_EQ(altitudeLegs.size(), 3u);
    EXPECT_EQ(altitudeLegs[1].name, "(INTC)");
    EXPECT_EQ(altitudeLegs[1].fixIndex, -1);
    expectAt(altitudeLegs[1], DestinationPoint(false, threshold(runway("28L")), 90.0f, 1.0f));
    expectAt(distanceLegs[1], DestinationPoint(false, threshold(runway("28R")), 90.0f, 5.0f));
    // Independently: about 5 nm away, along magnetic 090 turned true with the variation there.
    const GeoPoint from = threshold(runway("28R"));
    const CourseDistance cd = CourseAndDistance(from, distanceLegs[1].position);
    EXPECT_NEAR(cd.distanceNm, 5.0, 0.05);
    EXPECT_NEAR(cd.courseDeg, 90.0f + MagneticVariation(from.lat * RadToDeg, from.lon * RadToDeg), 0.2);
    // A plain HDG without a clause adds no leg.
    EXPECT_EQ(transitionLegs("FIX PORTE HDG 100 FIX WESLA").size(), 2u);
}

TEST_F(Interpreter, InterceptsReverseFromRadials) {
    const ProcedureBlock b = load(
        "SIDS\nSID D1 FIX PORTE\nRNW 28L HDG 250 INTERCEPT RADIAL 288 FROM NAVAID OSI\n"
        "RNW 28R HDG 250 UNTIL RADIAL 350 TO NAVAID OSI\nRNW 01R HDG 330 INTERCEPT RADIAL 350 FROM NAVAID SFO\n");
    ASSERT_EQ(b.sids.size(), 1u);
    const auto& from = b.sids[0].runwayParts.at(0).legs;
    ASSERT_EQ(from.size(), 3u);
    EXPECT_EQ(from[1].name, "(INTC)");
    expectAt(from[1], CourseIntersection(threshold(runway("28L")), 250.0f, at("OSI"), 108.0f));
    // Independently: the point lies on OSI's 288 radial (true bearing = magnetic + variation).
    const GeoPoint osi = at("OSI");
    const float variation = MagneticVariation(osi.lat * RadToDeg, osi.lon * RadToDeg);
    EXPECT_NEAR(CourseAndDistance(osi, from[1].position).courseDeg, 288.0f + variation, 1.0);
    expectAt(b.sids[0].runwayParts.at(1).legs.at(1),
             CourseIntersection(threshold(runway("28R")), 250.0f, at("OSI"), 350.0f));
    expectAt(b.sids[0].runwayParts.at(2).legs.at(1),
             CourseIntersection(threshold(runway("01R")), 330.0f, at("SFO"), 170.0f));
}

TEST_F(Interpreter, InterceptEdgeCases) {
    // An unresolvable radial fix ends the list; without a previous leg the intercept is skipped.
    EXPECT_EQ(transitionLegs("FIX WESLA HDG 250 INTERCEPT RADIAL 288 FROM NAVAID NOPE FIX PORTE").size(), 1u);
    const auto skipped = transitionLegs("HDG 250 INTERCEPT RADIAL 288 FROM NAVAID OSI FIX PORTE");
    ASSERT_EQ(skipped.size(), 1u);
    EXPECT_EQ(skipped[0].name, "PORTE");
    // Parallel course and radial meet nowhere: no leg, the list goes on.
    const auto parallel = transitionLegs("NAVAID OSI HDG 108 INTERCEPT RADIAL 288 FROM NAVAID OSI FIX PORTE");
    ASSERT_EQ(parallel.size(), 2u);
    EXPECT_EQ(parallel[1].name, "PORTE");
    // Nearly parallel: the lines meet thousands of miles out, which no procedure flies.
    const auto far = transitionLegs("NAVAID SFO HDG 108 INTERCEPT RADIAL 288 FROM NAVAID OSI FIX PORTE");
    ASSERT_EQ(far.size(), 2u);
    EXPECT_EQ(far[1].name, "PORTE");
    // A few degrees apart the intercept stays within reach and is kept.
    const auto near = transitionLegs("NAVAID SFO HDG 200 INTERCEPT RADIAL 190 FROM NAVAID OSI FIX PORTE");
    ASSERT_EQ(near.size(), 3u);
    EXPECT_LT(GreatCircleDistance(at("OSI"), near[1].position), 500.0);
}

TEST_F(Interpreter, NegativeUntilDistancesMakeNoLeg) {
    for (const char* value : {"-5", "-1e30"}) {
        const auto legs = transitionLegs(std::string("FIX WESLA TRK 090 UNTIL ") + value + " FIX PORTE");
        ASSERT_EQ(legs.size(), 2u) << value;
        EXPECT_EQ(legs[1].name, "PORTE");
    }
}

TEST_F(Interpreter, KeepFollowsTheRunwayOrTheLastLeg) {
    const ProcedureBlock b = load("SIDS\nSID D1 FIX PORTE\nRNW 28L KEEP HDG UNTIL 2\n");
    ASSERT_EQ(b.sids.size(), 1u);
    expectAt(b.sids[0].runwayParts.at(0).legs.at(1), DestinationPoint(false, threshold(runway("28L")), 285.0f, 2.0f));

    const auto legs = transitionLegs("NAVAID SFO NAVAID OSI KEEP TRK UNTIL 10");
    ASSERT_EQ(legs.size(), 3u);
    const float inbound = CourseAndDistance(legs[0].position, legs[1].position).courseDeg;
    const CourseDistance onward = CourseAndDistance(legs[1].position, legs[2].position);
    EXPECT_NEAR(onward.courseDeg, inbound, 0.5);  // the same track, not off by the variation
    EXPECT_NEAR(onward.distanceNm, 10.0, 0.1);

    const auto alone = transitionLegs("NAVAID SFO KEEP HDG UNTIL 10 FIX PORTE");
    ASSERT_EQ(alone.size(), 2u);
    EXPECT_EQ(alone[1].name, "PORTE");
    EXPECT_EQ(transitionLegs("KEEP HDG UNTIL 10 FIX PORTE").size(), 1u);
}

TEST_F(Interpreter, HoldAndUnresolvableFixesEndTheirLists) {
    const ProcedureBlock held = load(
        "SIDS\nSID D1 FIX MENLO\nRNW 28L FIX PORTE HOLD AT PORTE\nENDSIDS\n"
        "APPROACHES\nAPPROACH I FIX PORTE HOLD\nFIX MENLO RNW 28L\nENDAPPROACHES\n");
    ASSERT_EQ(held.sids.size(), 1u);
    const auto& part = held.sids[0].runwayParts.at(0).legs;
    ASSERT_EQ(part.size(), 2u);  // the common legs after the HOLD are not flown
    EXPECT_EQ(part[1].name, "PORTE");
    ASSERT_EQ(held.approaches.size(), 1u);
    EXPECT_EQ(held.approaches[0].runwayParts.at(0).legs.size(), 1u);
    EXPECT_TRUE(held.approaches[0].runways.empty());

    const auto legs = transitionLegs("FIX PORTE FIX MENLO FIX NOPE FIX WESLA");
    ASSERT_EQ(legs.size(), 2u);
    EXPECT_EQ(legs[1].name, "MENLO");
}

TEST_F(Interpreter, LocalFixesByLatLonAndColocated) {
    const ProcedureBlock b = load(
        "FIXES\nFIX FF01R LATLON N 37 32.0 W 122 25.8\nFIX CF COLOCATED SFO 194 10\nFIX BAD COLOCATED NOPE 1 1\n"
        "FIX FAR LATLON N 95 0 W 0 0\nFIX LONGNAME LATLON S 40 30 E 073 15\nENDFIXES\n"
        "STARS\nSTAR A1 FIX CF FIX LONGNAME\nFIX INSTAR LATLON N 37 0 W 122 0\nTRANSITION T FIX INSTAR\nENDSTARS\n");
    ASSERT_EQ(b.fixes.size(), 4u);
    EXPECT_NEAR(b.fixes[0].lat * RadToDeg, 37.53333, 1e-4);
    EXPECT_NEAR(b.fixes[0].lon * RadToDeg, -122.43, 1e-4);
    EXPECT_EQ(b.fixes[0].kind, WaypointKind::Fix);
    EXPECT_FALSE(b.fixNotes[0].byGeometry);
    const GeoPoint cf = DestinationPoint(false, at("SFO"), 194.0f, 10.0f);
    EXPECT_NEAR(b.fixes[1].lat, cf.lat, 1e-6);
    EXPECT_NEAR(b.fixes[1].lon, cf.lon, 1e-6);
    EXPECT_TRUE(b.fixNotes[1].byGeometry);
    EXPECT_EQ(b.fixNotes[2].name, "LONGNAME");  // idents stop at five characters, notes do not
    EXPECT_EQ(b.fixes[2].Ident(), "LONGN");
    EXPECT_NEAR(b.fixes[2].lat * RadToDeg, -40.5, 1e-4);
    EXPECT_NEAR(b.fixes[2].lon * RadToDeg, 73.25, 1e-4);
    EXPECT_EQ(b.fixNotes[3].name, "INSTAR");  // defined inside a procedure section
    ASSERT_EQ(b.stars.size(), 1u);
    EXPECT_EQ(b.stars[0].commonParts.at(0).legs.size(), 2u);
    ASSERT_EQ(b.stars[0].transitions.size(), 1u);
    EXPECT_NEAR(b.stars[0].transitions[0].legs.at(0).position.lat * RadToDeg, 37.0, 1e-4);
}

TEST_F(Interpreter, LegKindsTypesAndFlags) {
    const ProcedureBlock b = load(
        "SIDS\nSID D FIX PORTE\nRNW 28L FIX WESLA\nTRANSITION T FIX PORTE FIX MENLO\nENDSIDS\n"
        "STARS\nSTAR A FIX MENLO\nTRANSITION T FIX WESLA FIX MENLO\nENDSTARS\n"
        "APPROACHES\nAPPROACH I FIX MENLO RNW 28L\nTRANSITION T FIX PORTE FIX MENLO\nENDAPPROACHES\n");
    ASSERT_EQ(b.sids.size(), 1u);
    ASSERT_EQ(b.stars.size(), 1u);
    ASSERT_EQ(b.approaches.size(), 1u);
    EXPECT_EQ(b.sids[0].type, 1);
    EXPECT_EQ(b.stars[0].type, 2);
    EXPECT_EQ(b.approaches[0].type, 2);
    auto expectKinds = [](const std::vector<LegList>& lists, int32_t kind) {
        ASSERT_FALSE(lists.empty());
        for (const LegList& list : lists)
            for (const WaypointEntry& leg : list.legs) {
                EXPECT_EQ(leg.kind, kind) << leg.name;
                EXPECT_EQ(leg.onLegs, 1);
                EXPECT_EQ(leg.onFpln, 0);
            }
    };
    expectKinds(b.sids[0].runwayParts, 5);
    expectKinds(b.sids[0].commonParts, 5);
    expectKinds(b.sids[0].transitions, 6);
    expectKinds(b.stars[0].commonParts, 7);
    expectKinds(b.stars[0].transitions, 8);
    expectKinds(b.approaches[0].runwayParts, 9);
    expectKinds(b.approaches[0].transitions, 10);
    EXPECT_EQ(b.sids[0].transitions[0].name, "T");
    EXPECT_TRUE(b.sids[0].commonParts[0].name.empty());
    EXPECT_EQ(b.approaches[0].runways, (std::vector<int32_t>{0}));
    const LegList fresh;
    for (int32_t slot : fresh.planSlots) EXPECT_EQ(slot, -1);
    EXPECT_EQ(fresh.planCounter, 0);
}

TEST_F(Interpreter, MalformedFilesGetAClearOutcome) {
    // One line: rejected. Empty ident: loaded, empty.
    load("SIDS SID D1 FIX PORTE");
    EXPECT_EQ(result_, -1);
    ProcedureBlock empty = load("SIDS\nSID D1 FIX PORTE\n", "");
    EXPECT_EQ(result_, 0);
    EXPECT_TRUE(empty.sids.empty());
    // Declarations outside sections, transitions before declarations, RNW outside a section.
    const ProcedureBlock stray = load("SID EARLY FIX PORTE\nRNW 28L\nSIDS\nTRANSITION T FIX PORTE\nRNW 28L FIX WESLA\n"
                                      "SID D1 FIX PORTE\n");
    EXPECT_EQ(result_, 0);
    ASSERT_EQ(stray.sids.size(), 1u);
    EXPECT_EQ(stray.sids[0].name, "D1");
    EXPECT_TRUE(stray.sids[0].transitions.empty());
    EXPECT_TRUE(stray.sids[0].runwayParts.empty());
    // Windows line ends load exactly as Unix ones.
    const std::string text = "SIDS\nSID D1 FIX PORTE\nRNW 28L FIX WESLA\nTRANSITION T FIX PORTE FIX MENLO\n";
    std::string crlf;
    for (char c : text) crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
    const ProcedureBlock unix = load(text);
    const ProcedureBlock windows = load(crlf);
    ASSERT_EQ(windows.sids.size(), 1u);
    EXPECT_EQ(windows.sids[0].transitions.at(0).legs.size(), unix.sids[0].transitions.at(0).legs.size());
    EXPECT_EQ(windows.sids[0].runwayParts.at(0).legs.at(0).name, "RWY28L");
    // An over-long line ends the file; the lines before it count.
    const ProcedureBlock cut = load("SIDS\nSID A FIX PORTE\n" + std::string(1200, 'X') + "\nSID B FIX PORTE\n");
    EXPECT_EQ(cut.sids.size(), 1u);
    // Binary garbage.
    std::string garbage;
    for (int i = 0; i < 4096; ++i) garbage += static_cast<char>((i * 7919) % 256);
    // Garbage between two procedures costs neither of them.
    const ProcedureBlock mixed = load("SIDS\nSID D1 FIX PORTE\n" + garbage + "\nSTARS\nSTAR A FIX MENLO\n");
    ASSERT_EQ(mixed.sids.size(), 1u);
    EXPECT_EQ(mixed.sids[0].commonParts.at(0).legs.at(0).name, "PORTE");
    ASSERT_EQ(mixed.stars.size(), 1u);
    EXPECT_EQ(mixed.stars[0].commonParts.at(0).legs.at(0).name, "MENLO");
}

TEST_F(Interpreter, FixesOnlyDefinesAndDeclarationsFindTheirSections) {
    const ProcedureBlock b = load(
        "SIDS\nSID D1 FIX PORTE\nENDSIDS\n"
        "FIXES\nSTAR HIDDEN FIX MENLO\nFIX LOCAL LATLON N 37 30 W 122 15\nENDFIXES\n"
        "STARS\nSTAR A FIX MENLO\nSID D2 FIX WESLA\nRNW 28L FIX PORTE\nENDSTARS\n");
    // The STAR written inside FIXES is not built; the fix definition after it is.
    ASSERT_EQ(b.stars.size(), 1u);
    EXPECT_EQ(b.stars[0].name, "A");
    ASSERT_EQ(b.fixes.size(), 1u);
    EXPECT_EQ(b.fixNotes.at(0).name, "LOCAL");
    // The SID written among the STARS is a SID with a runway part that ends in its common legs.
    ASSERT_EQ(b.sids.size(), 2u);
    EXPECT_EQ(b.sids[1].name, "D2");
    ASSERT_EQ(b.sids[1].runwayParts.size(), 1u);
    std::string names;
    for (const WaypointEntry& leg : b.sids[1].runwayParts[0].legs) names += leg.name + " ";
    EXPECT_EQ(names, "RWY28L PORTE WESLA ");
    EXPECT_EQ(b.sids[1].commonParts.size(), 1u);
}

TEST_F(Interpreter, ASidKeepsOneRunwayPartPerRunway) {
    // The flight plan flies the first part of a runway; repeats, and runways the airport does
    // not have beyond the first, would only be further copies of the common legs.
    std::string text = "SIDS\nSID D1 FIX PORTE FIX MENLO\nRNW 28L FIX WESLA\nRNW 28L FIX MENLO\nRNW 99Z FIX WESLA\n";
    for (int i = 0; i < 500; ++i) text += "RNW 28R\nRNW Q" + std::to_string(i) + " FIX MENLO\n";
    const ProcedureBlock b = load(text);
    ASSERT_EQ(b.sids.size(), 1u);
    const auto& parts = b.sids[0].runwayParts;
    ASSERT_EQ(parts.size(), 3u);
    auto names = [](const LegList& list) {
        std::string out;
        for (const WaypointEntry& leg : list.legs) out += leg.name + " ";
        return out;
    };
    EXPECT_EQ(names(parts[0]), "RWY28L WESLA PORTE MENLO ");
    EXPECT_EQ(names(parts[1]), "WESLA PORTE MENLO ");
    EXPECT_EQ(names(parts[2]), "RWY28R PORTE MENLO ");
    EXPECT_EQ(b.sids[0].runways.size(), 2u);
}

TEST_F(Interpreter, LoadProceduresReadsTheAirportFile) {
    ProcedureBlock block;
    EXPECT_EQ(LoadProcedures(db_, block, "KSFO"), -1);
    tree_.write("PMDG/SIDSTARS/KSFO.txt", "STARS\nSTAR A FIX MENLO\n");
    EXPECT_EQ(LoadProcedures(db_, block, "KSFO"), 0);
    EXPECT_EQ(block.airportIdent, "KSFO");
    ASSERT_EQ(block.stars.size(), 1u);
    tree_.write("PMDG/SIDSTARS/KSFOX.txt", "STARS\nSTAR A FIX MENLO\n");
    EXPECT_EQ(LoadProcedures(db_, block, "KSFOX"), 0);
    EXPECT_EQ(block.airportIdent, "KSFO");  // the first four characters
    tree_.write("outside.txt", "STARS\nSTAR A FIX MENLO\n");
    EXPECT_EQ(LoadProcedures(db_, block, "../../outside"), -1);
    EXPECT_TRUE(block.stars.empty());
}

}  // namespace
}  // namespace halvex
