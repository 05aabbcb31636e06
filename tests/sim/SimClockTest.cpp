#include <gtest/gtest.h>

#include "sim/FlightModel.h"
#include "sim/SimClock.h"

using namespace halvex::sim;

TEST(SimClock, LeapYearRuleAndDayOfYear) {
    EXPECT_TRUE(IsLeapYear(2024));
    EXPECT_TRUE(IsLeapYear(2000));
    EXPECT_FALSE(IsLeapYear(1900));
    EXPECT_FALSE(IsLeapYear(2026));
    EXPECT_EQ(DayOfYear(2026, 3, 1), 60);
    EXPECT_EQ(DayOfYear(2024, 3, 1), 61);
    EXPECT_EQ(DayOfYear(2024, 12, 31), 366);
    EXPECT_EQ(DayOfYear(2026, 2, 30), 59);  // clamped to 28 February
}

TEST(SimClock, CrossesMidnightIntoTheNextDay) {
    SimClock clock({2026, 3, 14, 23, 59});
    clock.advance(59.5);
    EXPECT_EQ(clock.hour(), 23);
    EXPECT_EQ(clock.minute(), 59);
    EXPECT_EQ(clock.second(), 59);
    clock.advance(61.0);
    EXPECT_EQ(clock.dayOfYear(), DayOfYear(2026, 3, 15));
    EXPECT_EQ(clock.month(), 3);
    EXPECT_EQ(clock.dayOfMonth(), 15);
    EXPECT_EQ(clock.hour(), 0);
    EXPECT_EQ(clock.minute(), 1);
    EXPECT_EQ(clock.second(), 0);
}

TEST(SimClock, RollsOverTheYearAndHonoursLeapDays) {
    SimClock newYear({2026, 12, 31, 23, 30});
    newYear.advance(3600.0);
    EXPECT_EQ(newYear.year(), 2027);
    EXPECT_EQ(newYear.dayOfYear(), 1);
    EXPECT_EQ(newYear.month(), 1);
    EXPECT_EQ(newYear.dayOfMonth(), 1);
    EXPECT_EQ(newYear.hour(), 0);
    EXPECT_EQ(newYear.minute(), 30);

    SimClock leap({2024, 2, 28, 12, 0});
    leap.advance(86400.0);
    EXPECT_EQ(leap.month(), 2);
    EXPECT_EQ(leap.dayOfMonth(), 29);
    leap.advance(86400.0);
    EXPECT_EQ(leap.month(), 3);
    EXPECT_EQ(leap.dayOfMonth(), 1);

    SimClock longRun({2023, 6, 1, 0, 0});
    longRun.advance(86400.0 * (366 + 365));  // through leap 2024 and all of 2025 from June
    EXPECT_EQ(longRun.year(), 2025);
    EXPECT_EQ(longRun.month(), 6);
    EXPECT_EQ(longRun.dayOfMonth(), 1);
}

TEST(SimClock, FlightModelClockRunsWithTheTimeFactor) {
    FlightModelConfig config;
    config.utcDate = {2025, 12, 31, 23, 59};
    config.timeFactor = 4.0;
    FlightModel model(config);
    EXPECT_EQ(model.state().dayOfYear, 365);
    model.step(15.0);  // one simulated minute
    EXPECT_EQ(model.state().utcYear, 2026);
    EXPECT_EQ(model.state().dayOfYear, 1);
    EXPECT_EQ(model.state().utcHour, 0);
    EXPECT_EQ(model.state().utcMinute, 0);
    EXPECT_NEAR(model.state().simulatedSeconds, 60.0, 1e-9);
}
