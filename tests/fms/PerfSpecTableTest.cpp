#include <gtest/gtest.h>

#include "fms/PerfSpecTable.h"
#include "script/LuaHost.h"
#include "support/TempTree.h"

namespace halvex {

namespace {

// Two weights, two speeds, two altitudes: every number distinct so blends are visible.
const char* kSmallTable = R"(
local function row(alt, c, d) return { alt = alt, climb = c, descend = d } end
SPEC_TBL = { size = 2,
  [0] = { size = 2, weight = 140000, v1 = 130, vr = 135, v2 = 140, optClbSpd = 250, optDesSpd = 260, optCrzSpd = 280,
    [0] = { size = 2, spd = 200, turnRate = 3.0, [0] = row(0, 3000, -1500), [1] = row(10000, 2000, -2500) },
    [1] = { size = 2, spd = 300, turnRate = 2.0, [0] = row(0, 2000, -2000), [1] = row(10000, 1000, -3000) } },
  [1] = { size = 2, weight = 160000, v1 = 150, vr = 155, v2 = 160, optClbSpd = 270, optDesSpd = 280, optCrzSpd = 300,
    [0] = { size = 2, spd = 200, turnRate = 2.0, [0] = row(0, 2000, -1000), [1] = row(10000, 1000, -2000) },
    [1] = { size = 2, spd = 300, turnRate = 1.0, [0] = row(0, 1000, -1500), [1] = row(10000, 0, -2500) } } }
)";

class PerfSpecTableTest : public ::testing::Test {
protected:
    int loadFrom(const std::string& relative, const std::string& text, const std::string& aircraftDir = "") {
        tree.write(relative, text);
        return table.load(engine, aircraftDir);
    }
    test::TempTree tree;
    LuaHost engine;
    PerfSpecTable table;
};

}  // namespace

TEST_F(PerfSpecTableTest, LoadsEveryLevelInFileOrder) {
    ASSERT_EQ(loadFrom("Gauges/HalvexFmsZolan/FMS_ZOLAN.spc", kSmallTable), 0);
    ASSERT_EQ(table.entries().size(), 2u);
    const WeightEntry& e = table.entries()[1];
    EXPECT_FLOAT_EQ(e.weight, 160000);
    EXPECT_FLOAT_EQ(e.optCrzSpd, 300);
    ASSERT_EQ(e.speeds.size(), 2u);
    EXPECT_FLOAT_EQ(e.speeds[1].altitudes[1].descend, -2500);
}

TEST_F(PerfSpecTableTest, InterpolatesAndClampsOnEveryLevel) {
    ASSERT_EQ(loadFrom("Gauges/HalvexFmsZolan/FMS_ZOLAN.spc", kSmallTable), 0);
    // Clamped at both ends of the weight level.
    EXPECT_FLOAT_EQ(table.cruiseSpeed(100000), 280);
    EXPECT_FLOAT_EQ(table.cruiseSpeed(999999), 300);
    // The midpoint blends every number, nested rows included.
    const WeightEntry mid = table.atWeight(150000);
    EXPECT_FLOAT_EQ(mid.v1, 140);
    EXPECT_FLOAT_EQ(mid.speeds[0].turnRate, 2.5);
    EXPECT_FLOAT_EQ(mid.speeds[1].altitudes[0].climb, 1500);
    // Exact keys return the row; a quarter of the way blends 3:1.
    EXPECT_FLOAT_EQ(table.turnRate(140000, 300), 2.0);
    EXPECT_FLOAT_EQ(table.turnRate(140000, 225), 2.75);
    EXPECT_FLOAT_EQ(table.climbAt(140000, 200, 5000), 2500);
    EXPECT_FLOAT_EQ(table.descentAt(160000, 300, 20000), -2500);
    const auto [climb, speed] = table.climbAtOptimum(140000, 0);
    EXPECT_FLOAT_EQ(speed, 250);
    EXPECT_FLOAT_EQ(climb, 2500);  // halfway between the 200 and 300 kt rows at sea level
    const auto [descend, dspeed] = table.descentAtOptimum(160000, 10000);
    EXPECT_FLOAT_EQ(dspeed, 280);
    EXPECT_FLOAT_EQ(descend, -2400);
}

TEST_F(PerfSpecTableTest, ASingleRowLevelReturnsThatRow) {
    ASSERT_EQ(loadFrom("Gauges/HalvexFmsZolan/FMS_ZOLAN.spc", R"(
SPEC_TBL = { size = 1, [0] = { size = 1, weight = 1000, v1 = 1, vr = 2, v2 = 3, optClbSpd = 4, optDesSpd = 5, optCrzSpd = 6,
  [0] = { size = 1, spd = 250, turnRate = 1.5, [0] = { alt = 0, climb = 9, descend = -9 } } } })"),
              0);
    EXPECT_FLOAT_EQ(table.turnRate(1000, 250), 1.5);
    EXPECT_FLOAT_EQ(table.climbAt(1000, 250, 0), 9);
    EXPECT_FLOAT_EQ(table.climbAt(5, 5, 5), 9);
}

TEST_F(PerfSpecTableTest, AFileInTheAircraftFolderTakesPrecedence) {
    tree.write("Gauges/HalvexFmsZolan/FMS_ZOLAN.spc", kSmallTable);
    ASSERT_EQ(loadFrom("Aircraft/Jet/FMS_ZOLAN.spc", R"(
SPEC_TBL = { size = 1, [0] = { size = 0, weight = 5, v1 = 1, vr = 2, v2 = 3, optClbSpd = 4, optDesSpd = 5, optCrzSpd = 6 } })",
                       "Aircraft/Jet/"),
              0);
    EXPECT_FLOAT_EQ(table.cruiseSpeed(0), 6);
}

TEST_F(PerfSpecTableTest, FailuresLeaveTheOldTable) {
    ASSERT_EQ(loadFrom("Gauges/HalvexFmsZolan/FMS_ZOLAN.spc", kSmallTable), 0);
    // A missing key, a string where a number belongs, a script error, an absurd size.
    for (const char* bad : {"SPEC_TBL = { size = 1, [0] = { size = 0, weight = 1 } }",
                            "SPEC_TBL = { size = 1, [0] = { size = 0, weight = 'heavy', v1 = 1, vr = 1, v2 = 1, "
                            "optClbSpd = 1, optDesSpd = 1, optCrzSpd = 1 } }",
                            "error('no')", "SPEC_TBL = { size = 1e9 }", "SPEC_TBL = nil"}) {
        EXPECT_EQ(loadFrom("Gauges/HalvexFmsZolan/FMS_ZOLAN.spc", bad), -1) << bad;
        EXPECT_EQ(table.entries().size(), 2u) << bad;
    }
    std::filesystem::remove("Gauges/HalvexFmsZolan/FMS_ZOLAN.spc");
    EXPECT_EQ(table.load(engine, ""), -1);
}

TEST_F(PerfSpecTableTest, TheBundledTableIsSortedRectangularAndPlausible) {
    tree.copyFromSource("data/Gauges/HalvexFmsZolan/FMS_ZOLAN.spc", "Gauges/HalvexFmsZolan/FMS_ZOLAN.spc");
    ASSERT_EQ(table.load(engine, ""), 0);
    const auto& entries = table.entries();
    ASSERT_GE(entries.size(), 3u);
    for (size_t i = 0; i < entries.size(); ++i) {
        if (i) {
            EXPECT_LT(entries[i - 1].weight, entries[i].weight);
        }
        ASSERT_EQ(entries[i].speeds.size(), entries[0].speeds.size());
        for (size_t j = 0; j < entries[i].speeds.size(); ++j) {
            const SpeedRow& s = entries[i].speeds[j];
            if (j) {
                EXPECT_LT(entries[i].speeds[j - 1].spd, s.spd);
            }
            EXPECT_GT(s.turnRate, 0.5f);
            EXPECT_LE(s.turnRate, 3.0f);
            ASSERT_EQ(s.altitudes.size(), entries[0].speeds[0].altitudes.size());
            for (size_t k = 1; k < s.altitudes.size(); ++k) EXPECT_LT(s.altitudes[k - 1].alt, s.altitudes[k].alt);
        }
    }
    EXPECT_LE(entries[0].speeds.front().spd, 210);
    EXPECT_GE(entries[0].speeds.back().spd, 330);
    EXPECT_GT(table.climbAt(entries[0].weight, 250, 0), 1500);  // a light jet climbs briskly low down
    EXPECT_LT(table.descentAt(entries[0].weight, 280, 30000), -1500);
}

}  // namespace halvex
