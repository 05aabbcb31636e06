// The database natives through a core whose Lua page script calls them and keeps what they
// returned as text in the global "seen".
#include <gtest/gtest.h>

#include "../navdb/NavDataLines.h"
#include "core/LuaPageCore.h"

namespace halvex {
namespace {

using namespace test;

class NavDataNativesTest : public ::testing::Test, protected LuaPageCore {
protected:
    void SetUp() override {
        tree.write("FMCWP/NavData/fmc_ident.txt", "NavData=2105\nOpProgram=2021.05\n");
        tree.write("FMCWP/NavData/wpNavFIX.txt", FixLine("DUP", 10, 10) + FixLine("DUP", 11, 11) + FixLine("SOLO", 12.5, -3.25));
        tree.write("FMCWP/NavData/wpNavAID.txt", AidLine("DUP", "VORD", 12, 12) + AidLine("KVOR", "VOR", 1, 1));
        tree.write("FMCWP/NavData/airports.dat", AirportPointLine("KSEA", 47.5, -122.25) + AirportPointLine("KVOR", 2, 2));
        tree.write("FMCWP/NavData/wpNavRTE.txt", AirwayLine("J1", 1, "SOLO", 12.5, -3.25) + AirwayLine("J1", 2, "DUP", 11, 11) +
                                                     AirwayLine("J2", 1, "DUP", 12, 12) + AirwayLine("J2", 2, "SOLO", 12.5, -3.25));
    }
    std::string run(const std::string& body, bool withSpec = true) {
        if (!withSpec) std::filesystem::remove("Gauges/HalvexFmsZolan/FMS_ZOLAN.spc");
        return LuaPageCore::run(LuaPageScript(body, 4));
    }
};

TEST_F(NavDataNativesTest, QueryFixReportsCountAndFirstEitherWay) {
    const std::string seen = run(R"(
  FMScore_queryFix(core, "DUP"); multi(2)
  FMScore_queryFix(core, "NONE"); multi(2)
  show(FMScore_queryFix(core, "DUP", 0))
  show(FMScore_queryFix(core, "SOLO", false))
  show(FMScore_queryFix(core))
)");
    // Sorted rows: DUP x3 (fix, fix, VOR) first, then KSEA, KVOR x2, SOLO.
    EXPECT_EQ(seen, "3,0;-1,-1;3,0;1,6;;");
}

TEST_F(NavDataNativesTest, QueryFixWithRteTakesTheRowOnTheAirway) {
    const std::string seen = run(R"(
  show(FMScore_queryFixWithRte(core, "DUP", 0))
  show(FMScore_queryFixWithRte(core, "DUP", 1))
  show(FMScore_queryFixWithRte(core, "DUP", 7))
  show(FMScore_queryFixWithRte(core, "SOLO", 7))
  show(FMScore_queryFixWithRte(core, "NONE", 0))
  show(FMScore_getRteName(core, 1), FMScore_getRteName(core, 2), FMScore_getRteName(core, -1))
)");
    EXPECT_EQ(seen, "1;2;-1;6;-1;J2,,;");
}

TEST_F(NavDataNativesTest, FixAndAirportInfoInDegrees) {
    const std::string seen = run(R"(
  FMScore_getFixInfo(core, 6); multi(3)
  show(FMScore_getFixInfo(core, 6, 0))
  FMScore_getFixInfo(core, 7); multi(3)
  FMScore_getFixInfo(core, -1); multi(3)
  show(FMScore_getAirportInfo(core, "KSEA"))
  show(FMScore_getAirportInfo(core, "KVOR"))
  show(FMScore_getAirportInfo(core, "SOLO"))
  show(FMScore_getAirportInfo(core, "NONE"))
  show(FMScore_getNavDataId(core), FMScore_getNavDataDate(core))
)");
    EXPECT_EQ(seen,
              "SOLO,12.5000,-3.2500;SOLO,12.5000,-3.2500;,-1,-1;,-1,-1;"
              "KSEA,47.5000,-122.2500;,-1,-1;,-1,-1;,-1,-1;2105,2021.05;");
}

TEST_F(NavDataNativesTest, WithoutThePerformanceTableTheDatabaseStaysEmpty) {
    const std::string seen = run(R"(
  show(FMScore_queryFix(core, "DUP", 0))
  show(FMScore_getNavDataId(core))
)",
                                 false);
    EXPECT_FALSE(core->InitOk());
    EXPECT_EQ(core->Database()->WaypointCount(), 0);
    EXPECT_EQ(seen, "-1,-1;;");
}

}  // namespace
}  // namespace halvex
