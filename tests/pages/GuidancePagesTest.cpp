// PROG and VNAV over guidance natives whose values the test sets: distances, arrival times,
// cross-track side and vertical deviation as the pilot reads them, and every vertical path
// point named by the leg it lies on.
#include <cstdio>

#include "PagesFixture.h"
#include "navdb/Geodesy.h"

namespace halvex::test {
namespace {

class GuidancePagesTest : public PagesFixture {
protected:
    void SetUp() override { build(true); }

    // "HHMMZ" of a clock time plus a flight time, as the pilot expects it.
    static std::string Eta(int hour, int minute, double distanceNm, double speedKt) {
        const int at = (hour * 60 + minute + static_cast<int>(std::floor(distanceNm / speedKt * 60 + 0.5))) % 1440;
        char text[8];
        std::snprintf(text, sizeof text, "%02d%02dZ", at / 60, at % 60);
        return text;
    }
    static std::string Nm(double d) {
        char text[16];
        if (d < 10) std::snprintf(text, sizeof text, "%.1f", d);
        else std::snprintf(text, sizeof text, "%d", static_cast<int>(std::floor(d + 0.5)));
        return text;
    }
    const FlightPlan& active() const { return core_->Model()->Plans().Active(); }
};

TEST_F(GuidancePagesTest, ProgShowsDistancesArrivalTimesAndDeviations) {
    buildGuideRoute();
    keys("F10 F6");
    ASSERT_EQ(title(), "PROG") << screen();
    g_guidance = {12.3, 140.6, 0.42, -250, {}};
    aircraft_->groundSpeedKt = 300;
    keys("F6");
    EXPECT_EQ(row(2).substr(0, 4), "KSEA") << screen();
    EXPECT_EQ(Trim(row(2).substr(12)), "300KT") << screen();
    const std::string to = active().LegsEntry(1)->name, next = active().LegsEntry(2)->name;
    EXPECT_EQ(Trim(row(4).substr(0, 8)), to) << screen();
    EXPECT_EQ(Trim(row(4).substr(8)), Nm(12.3) + "  " + Eta(14, 5, 12.3, 300)) << screen();
    const double toNext = 12.3 + active().LegsEntry(1)->legsDistance;
    EXPECT_EQ(Trim(row(6).substr(0, 8)), next) << screen();
    EXPECT_EQ(Trim(row(6).substr(8)), Nm(toNext) + "  " + Eta(14, 5, toNext, 300)) << screen();
    EXPECT_EQ(Trim(row(8).substr(0, 8)), "KPDX") << screen();
    EXPECT_EQ(Trim(row(8).substr(8)), Nm(140.6) + "  " + Eta(14, 5, 140.6, 300)) << screen();
    EXPECT_EQ(row(10), "0.42LNM            250LO") << screen();  // left of the path, below it
    EXPECT_EQ(colourAt(4, 0), 3) << screen();                            // the active waypoint

    g_guidance.crossTrackNm = -1.5;
    g_guidance.verticalDeviationFt = 120;
    aircraft_->hour = 23;
    aircraft_->minute = 50;
    keys("F6");
    EXPECT_EQ(row(10), "1.50RNM            120HI") << screen();
    EXPECT_EQ(row(8).substr(19), Eta(23, 50, 140.6, 300)) << screen();  // past midnight
    EXPECT_EQ(row(8).substr(19, 2), "00") << screen();
    aircraft_->groundSpeedKt = 20;  // taxiing: no arrival times
    keys("F6");
    EXPECT_EQ(row(8).substr(19), "----Z") << screen();
    EXPECT_EQ(scriptError(), "");
}

TEST_F(GuidancePagesTest, ProgAndVnavShowDashesWithoutGuidanceNatives) {
    build(false);
    buildGuideRoute();
    keys("F10 F6");
    EXPECT_EQ(Trim(row(4).substr(8)), "---  ----Z") << screen();
    EXPECT_EQ(row(10), "-.--NM              ----") << screen();
    keys("F5");
    EXPECT_NE(row(3).find("NO VERTICAL PATH"), std::string::npos) << screen();
    keys("F4");
    EXPECT_NE(row(3).find("---NM"), std::string::npos) << screen();  // distance to go on the active leg
    EXPECT_EQ(scriptError(), "");
}

// A plan with a leg long enough to be split into hidden points: each vertical path point is
// named after the legs waypoint whose leg holds it, and its distance is measured from the aircraft.
TEST_F(GuidancePagesTest, VnavNamesEveryPointByItsLegAndPagesThroughThem) {
    keys("F2");
    type("KSEA");
    keys("L1");
    type("KSFO");
    keys("R1 F4");
    type("OLM");
    keys("L2 F10");
    const FlightPlan& plan = active();
    ASSERT_GT(plan.entries.size(), static_cast<size_t>(plan.LegsCount())) << "no hidden points to name";
    const GeoPoint here = MakeGeoPoint(aircraft_->position.latRad, aircraft_->position.lonRad, kEarthRadiusNm);
    std::vector<std::string> names;
    std::vector<double> distances;
    g_guidance = {};
    g_guidance.verticalDeviationFt = 35;
    for (size_t i = 0; i < plan.entries.size(); ++i) {
        const WaypointEntry& e = plan.entries[i];
        size_t leg = i;
        while (leg > 0 && !plan.entries[leg].onLegs) --leg;
        names.push_back(plan.entries[leg].name);
        g_guidance.path.push_back({35000.0 - 5000.0 * static_cast<double>(i), i % 2 ? "BOD" : "TOD",
                                   e.position.lat * 57.29578, e.position.lon * 57.29578, static_cast<int32_t>(i)});
        distances.push_back(GreatCircleDistance(here, e.position));
    }
    keys("F5");
    entry("FL350");
    keys("R1");
    EXPECT_EQ(row(2), "35HI               FL350") << screen();
    std::string all;
    const int pages = static_cast<int>((g_guidance.path.size() + 4) / 5);
    for (int page = 1; page <= pages; ++page) {
        EXPECT_EQ(row(0).substr(21), std::to_string(page) + "/" + std::to_string(pages)) << screen();
        for (int line = 2; line <= 6; ++line) {
            const size_t i = static_cast<size_t>((page - 1) * 5 + line - 2);
            if (i >= g_guidance.path.size()) break;
            EXPECT_EQ(Trim(row(2 * line - 1).substr(0, 12)), names[i]) << "point " << i << "\n" << screen();
            const std::string shown = Trim(row(2 * line - 1).substr(12));
            ASSERT_EQ(shown.substr(shown.size() - 2), "NM") << screen();
            EXPECT_NEAR(std::stod(shown), distances[i], distances[i] < 10 ? 0.051 : 0.51) << "point " << i << "\n" << screen();
            EXPECT_EQ(row(2 * line).substr(0, 3), g_guidance.path[i].kind) << screen();
        }
        keys("F9");
    }
    EXPECT_EQ(scriptError(), "");
}

// The names are kept between cycles: an executed change of the same length must still show.
TEST_F(GuidancePagesTest, VnavNamesFollowAnExecutedChangeOfTheSameLength) {
    keys("F2");
    type("KSEA");
    keys("L1");
    type("KPDX");
    keys("R1 F4");
    type("OLM");
    keys("L2 F10");
    g_guidance.path = {{9000, "TOD", 47.0, -122.9, 1}};
    keys("F5");
    EXPECT_EQ(Trim(row(3).substr(0, 12)), "OLM") << screen();
    keys("F4 K2 L2");
    type("ALDER");
    keys("L2 F10 F5");
    ASSERT_EQ(active().LegsEntry(1)->name, "ALDER");
    ASSERT_EQ(active().entries.size(), 3u);  // no hidden points: the plan's counts are unchanged
    EXPECT_EQ(Trim(row(3).substr(0, 12)), "ALDER") << screen();
}

}  // namespace
}  // namespace halvex::test
