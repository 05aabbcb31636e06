// The flight-plan natives through a core on the bundled data whose Lua page script calls them
// and keeps what they returned as text in the global "seen".
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <sstream>
#include <vector>

#include "core/LuaPageCore.h"
#include "navdb/Geodesy.h"
#include "support/SphereMath.h"

namespace halvex {
namespace {

using namespace test;

// "fix" finds a waypoint index by ident, "rwy" a runway index by name.
const char* kHelpers = R"(
function fix(core, ident)
  FMScore_queryFix(core, ident)
  return g_multiReturnVals[1]
end
function rwy(core, origin, name)
  local n = origin and FMScore_getOrgRwySize(core) or FMScore_getDstRwySize(core)
  for i = 0, n - 1 do
    if origin then FMScore_getOrgRwyInfo(core, i) else FMScore_getDstRwyInfo(core, i) end
    if g_multiReturnVals[0] == name then return i end
  end
  return -1
end
)";

class FlightPlanNativesTest : public ::testing::Test, protected LuaPageCore {
protected:
    FlightPlanNativesTest() : LuaPageCore(MinimalSpecTable(300)) { copyBundledData(); }
    std::string run(const std::string& body) { return LuaPageCore::run(LuaPageScript(body, 1, kHelpers)); }
};

TEST_F(FlightPlanNativesTest, AirportsAndRunwaysFollowTheModifiedOrActivePlan) {
    const std::string seen = run(R"(
  show(FMScore_getOrg(core), FMScore_getDst(core), FMScore_getOrgRwySize(core))
  show(FMScore_setOrg(core, "KSEA"), FMScore_setDst(core, "KPDX"), FMScore_setOrg(core, "NOPE"))
  show(FMScore_getOrg(core), FMScore_getDst(core), FMScore_getOrgRwySize(core) > 3)
  show(FMScore_getOrgRwyInfo(core, 1), g_multiReturnVals[0])
  show(FMScore_getOrgRwyInfo(core, 99), FMScore_getOrgRwyInfo(core, -1), FMScore_getDstRwyInfo(core, 500))
  local r = rwy(core, true, "16L")
  show(FMScore_setOrgRwy(core, r))
  show(FMScore_getModOrgRwyId(core) == r, FMScore_getActOrgRwyId(core), FMScore_getModDstRwyId(core))
  FMScore_setDstRwy(core, rwy(core, false, "10R"))
  show(FMScore_getModDstRwyId(core) == rwy(core, false, "10R"))
  show(FMScore_isLegsModify(core), FMScore_activateLegs(core), FMScore_isLegsModify(core))
  show(FMScore_getActOrgRwyId(core) == r, FMScore_getModOrgRwyId(core), FMScore_getOrg(core))
  show(FMScore_setOrg(core))
)");
    // The core's model reads the database and the performance table: 300 kt at 1.5 deg/s.
    ASSERT_NE(core->Model(), nullptr);
    EXPECT_EQ(core->Model()->Plans().Database(), core->Database());
    EXPECT_NEAR(core->Model()->Plans().TurnRadiusNm(), 20 / (2 * 3.14159265), 1e-3);
    EXPECT_EQ(seen,
              ",,0;0,0,-1;KSEA,KPDX,true;0,16L;-1,-1,-1;;true,-1,-1;true;true,0,false;true,-1,KSEA;;");
}

TEST_F(FlightPlanNativesTest, LegsPageEditsAndEntryInformation) {
    const std::string seen = run(R"(
  FMScore_setOrg(core, "KSEA"); FMScore_setDst(core, "KPDX")
  FMScore_setOrgRwy(core, rwy(core, true, "16L"))
  show(FMScore_insertLegsWp(core, fix(core, "OLM"), 2), FMScore_insertLegsWp(core, fix(core, "OLM"), -1))
  show(FMScore_insertLegsWpPBD(core, fix(core, "SEA"), 3, 180, 10))
  show(FMScore_getModLegsWpSize(core), FMScore_getModFplnWpSize(core), FMScore_getActLegsWpSize(core))
  FMScore_getModLegsWpInfo(core, 2)
  local v = g_multiReturnVals
  show(v[0], v[1], v[2], v[3] > 0 and v[3] < 90, v[4] > 20, v[5], v[6])
  local name, alt, aux, crs, dist, awy = FMScore_getModLegsWpInfo(core, 2, false)
  show(name, alt, aux, crs > 0 and crs < 90, dist > 20, awy)
  FMScore_getModLegsWpInfo(core, 9); multi(7)
  show(FMScore_getModLegsWpInfo(core, 9, 0))
  local pbd = FMScore_getModLegsWpInfo(core, 3, 0)
  show(pbd)
  show(FMScore_setLegsWpAlt(core, "12000", 2), FMScore_setLegsWpAlt(core, "123456", 2), FMScore_setLegsWpAlt(core, "", 2))
  show(FMScore_setLegsWpAlt(core, "AB", 2), FMScore_setLegsWpAlt(core, "5000", 40), FMScore_setLegsWpAlt(core, "70000", 2))
  FMScore_getModLegsWpInfo(core, 2); local w = g_multiReturnVals; show(w[0], w[1], w[2], w[5], w[6])
  show(FMScore_directToLegsWp(core, 0), FMScore_deleteLegsWps(core, 3, 3), FMScore_deleteLegsWp(core, 17))
  show(FMScore_activateLegs(core), FMScore_getActLegsWpSize(core), FMScore_DEgetActLegsWpSize(core))
  FMScore_DEgetActLegsWpInfo(core, 4); multi(2)
  show(FMScore_directToLegsWp(core, 2), FMScore_getModLegsWpSize(core))
  FMScore_getModLegsWpInfo(core, 0); multi(1)
  show(FMScore_cancelLegsMod(core), FMScore_isLegsModify(core), FMScore_getModLegsWpSize(core))
)");
    EXPECT_EQ(seen,
              "0,-1;0;5,2,0;"
              "OLM,-1,-1,true,true,DIRECT,;OLM,-1,-1,true,true,DIRECT;"  // seven values, then six direct ones
              ",-1,-1,-1,-1,,;,-1,-1,-1,-1,;SEA_FIX;"                    // no entry at legs index 9
              "0,-1,-1;-1,-1,0;OLM,12000,-1,DIRECT,;"                    // altitude texts
              "-1,0,-1;0,5,6;KPDX,-1;"                                   // the hidden point is counted apart
              "0,4;(DC);0,false,0;");
}

TEST_F(FlightPlanNativesTest, RoutePageAirwaysAndCruiseAltitude) {
    const std::string seen = run(R"(
  FMScore_setOrg(core, "KSEA"); FMScore_setDst(core, "KSFO")
  show(FMScore_insertFplnWp(core, fix(core, "SEA"), 0), FMScore_insertFplnWp(core, fix(core, "SEA"), -2))
  local j5 = FMScore_queryRte(core, "J5", 0)
  show(j5 >= 0, FMScore_queryRte(core, "J5", 7), FMScore_queryRte(core, "Q999", 0), FMScore_queryRte(core, "J5", -1))
  show(FMScore_insertRteFplnWp(core, fix(core, "BTG"), j5, 1), FMScore_insertRteFplnWp(core, fix(core, "LKV"), j5, 1))
  show(FMScore_getModFplnWpSize(core), FMScore_getModLegsWpSize(core))
  FMScore_getModFplnWpInfo(core, 1); multi(1); show(g_multiReturnVals[5])
  local name, alt, aux, crs, dist, awy = FMScore_getModFplnWpInfo(core, 1, 0)
  show(name, alt, aux, awy)
  show(FMScore_deleteFplnWp(core, 0), FMScore_deleteFplnWp(core, 5), FMScore_getModLegsWpSize(core))
  show(FMScore_cancelFplnMod(core), FMScore_isLegsModify(core), FMScore_getModFplnWpSize(core), FMScore_getOrg(core))
  show(FMScore_getCrzAlt(core), FMScore_setCrzAlt(core, "35000"), FMScore_getCrzAlt(core))
  show(FMScore_setCrzAlt(core, "FL350"), FMScore_setCrzAlt(core, "31000FT"))
  show(FMScore_getActFplnWpSize(core))
  FMScore_getActFplnWpInfo(core, 0); multi(1)
)");
    EXPECT_EQ(seen,
              "0,-1;true,-1,-1,-1;-1,0;2,7;LKV;J5;LKV,-1,-1,J5;0,-1,3;0,false,0,;"
              "0,35000,35000;0,31000;0;;");
}

// Parses "a,b;c,d;" into numbers, row by row.
std::vector<std::vector<double>> Rows(const std::string& seen) {
    std::vector<std::vector<double>> rows;
    std::stringstream all(seen);
    for (std::string row; std::getline(all, row, ';');) {
        rows.emplace_back();
        std::stringstream cells(row);
        for (std::string cell; std::getline(cells, cell, ',');) rows.back().push_back(std::stod(cell));
    }
    return rows;
}

// What a fly-by turn of the given track change takes off a leg at one end: the straight part
// R tan(a/2) it replaces, less the half arc R a/2 flown instead. No turn below 4 or above 135
// degrees.
double TurnShorteningNm(double inCourseDeg, double outCourseDeg, double radiusNm) {
    double change = std::abs(std::fmod(outCourseDeg - inCourseDeg + 540.0, 360.0) - 180.0);
    if (change < 4 || change > 135) return 0;
    change /= kDegPerRadian;
    return radiusNm * (std::tan(change / 2) - change / 2);
}

// The legs page's course and distance of a leg: the true initial course and the great-circle
// length less the turns at its ends, all worked out here from the database positions, the
// variation grid and the turn radius of 300 kt at 1.5 deg/s.
TEST_F(FlightPlanNativesTest, LegsInformationGivesTrueCourseAndDistanceLessTheTurns) {
    const std::string seen = LuaPageCore::run(LuaPageScript(R"(
  FMScore_setOrg(core, "KSEA"); FMScore_setDst(core, "KSFO")
  local sea, olm = fix(core, "SEA"), fix(core, "OLM")
  show(sea, olm)
  FMScore_insertFplnWp(core, olm, 0)
  FMScore_insertLegsWpPBD(core, sea, 2, 90, 40)
  for i = 0, 2 do
    FMScore_getModLegsWpInfo(core, i); show(g_multiReturnVals[3], g_multiReturnVals[4])
  end
)", 5, kHelpers));
    const auto rows = Rows(seen);
    ASSERT_EQ(rows.size(), 4u) << seen;
    const NavDatabase& db = *core->Database();
    auto at = [&](int32_t row) {
        const NavWaypoint* w = db.GetWaypoint(row);
        return w ? LatLonDeg{w->lat * kDegPerRadian, w->lon * kDegPerRadian} : LatLonDeg{};
    };
    const LatLonDeg sea = at(static_cast<int32_t>(rows[0][0])), olm = at(static_cast<int32_t>(rows[0][1]));
    const LatLonDeg ksea = at(db.FindAirportWaypoint("KSEA")), ksfo = at(db.FindAirportWaypoint("KSFO"));
    const double variationDeg = MagneticVariation(static_cast<float>(sea.lat), static_cast<float>(sea.lon));
    const LatLonDeg pbd = SphereDestination(sea, 90 + variationDeg, kNmPerRadian * std::atan(40.0 / 3443.9185));

    const double radiusNm = 300.0 / 3600 * (360 / 1.5) / (2 * std::numbers::pi);
    const LatLonDeg legs[] = {ksea, olm, pbd, ksfo};
    auto course = [](LatLonDeg a, LatLonDeg b) { return SphereCourseDeg(a, b); };
    auto arrival = [](LatLonDeg a, LatLonDeg b) { return std::fmod(SphereCourseDeg(b, a) + 180, 360); };
    for (size_t i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        double lengthNm = SphereDistanceNm(legs[i], legs[i + 1]);
        if (i > 0) lengthNm -= TurnShorteningNm(arrival(legs[i - 1], legs[i]), course(legs[i], legs[i + 1]), radiusNm);
        if (i < 2) lengthNm -= TurnShorteningNm(arrival(legs[i], legs[i + 1]), course(legs[i + 1], legs[i + 2]), radiusNm);
        EXPECT_NEAR(rows[i + 1][0], course(legs[i], legs[i + 1]), 0.05);
        EXPECT_NEAR(rows[i + 1][1], lengthNm, 0.05);
    }
}

}  // namespace
}  // namespace halvex
