// Entries on the pages: what each field accepts, what it refuses and with which message, and the
// scratchpad keys CLR and DEL.
#include "PagesFixture.h"

namespace halvex::test {
namespace {

using PageEntriesTest = PagesFixture;

// A position as the pages write it, degrees and minutes to a tenth, from radians.
std::string DegreesMinutes(double latRad, double lonRad) {
    const double latMin = std::fabs(latRad * 57.29578) * 60, lonMin = std::fabs(lonRad * 57.29578) * 60;
    char text[32];
    std::snprintf(text, sizeof text, "%c%02d`%04.1f %c%03d`%04.1f", latRad < 0 ? 'S' : 'N', static_cast<int>(latMin / 60),
                  std::fmod(latMin, 60.0), lonRad < 0 ? 'W' : 'E', static_cast<int>(lonMin / 60), std::fmod(lonMin, 60.0));
    return text;
}

TEST_F(PageEntriesTest, CruiseAltitudeTakesFlightLevelsAndFeetAndRefusesTheRest) {
    keys("F1 L3");
    ASSERT_EQ(row(2).substr(19), "|||||") << screen();  // a box: required
    const std::vector<std::pair<std::string, float>> accepted = {
        {"FL350", 35000}, {"35000", 35000}, {"9000", 9000}, {"310", 31000}, {"FL41", 4100}};
    for (const auto& [text, feet] : accepted) {
        entry(text);
        keys("R1");
        EXPECT_EQ(core_->Model()->Plans().CruiseAltitudeFt(), feet) << text;
        EXPECT_EQ(scratchpad(), "") << text << "\n" << screen();
    }
    EXPECT_EQ(Trim(row(2).substr(12)), "4100") << screen();  // below the transition altitude in feet
    entry("FL350");
    keys("R1");
    EXPECT_EQ(Trim(row(2).substr(12)), "FL350") << screen();
    for (const std::string text : {"", "FL", "FLABC", "ABC", "3500O", "123456", "FL4500", "99999", "500", "0", "FL005", "35.5"}) {
        entry(text);
        keys("R1");
        EXPECT_EQ(scratchpad(), "INVALID ENTRY") << "'" << text << "'\n" << screen();
        EXPECT_EQ(core_->Model()->Plans().CruiseAltitudeFt(), 35000) << text;
    }
    keys("F5");  // the VNAV page shows and takes the same altitude
    EXPECT_EQ(Trim(row(2).substr(12)), "FL350") << screen();
    entry("FL370");
    keys("R1");
    EXPECT_EQ(core_->Model()->Plans().CruiseAltitudeFt(), 37000);
    EXPECT_EQ(scriptError(), "");
}

TEST_F(PageEntriesTest, ReferenceAirportShowsItsPositionAndRefusesOtherIdents) {
    keys("F1 L2");
    ASSERT_EQ(title(), "POS INIT");
    type("KSEA");
    keys("L1");
    EXPECT_EQ(row(2).substr(0, 4), "KSEA") << screen();
    // The position as the navigation data gives it, in degrees and minutes.
    const int32_t first = core_->Database()->FindWaypoints("KSEA").first;
    const NavWaypoint* w = core_->Database()->GetWaypoint(first);
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(Trim(row(2).substr(5)), DegreesMinutes(w->lat, w->lon)) << screen();
    for (const auto& [text, message] : std::vector<std::pair<std::string, std::string>>{
             {"SEA", "NOT IN DATABASE"},  // a navaid, not an airport
             {"ZZZZ", "NOT IN DATABASE"}, {"KSEATTLE", "INVALID ENTRY"}, {"", "INVALID ENTRY"}, {"K/SE", "INVALID ENTRY"}}) {
        entry(text);
        keys("L1");
        EXPECT_EQ(scratchpad(), message) << "'" << text << "'\n" << screen();
        EXPECT_EQ(row(2).substr(0, 4), "KSEA") << text;
    }
    // The clock and the three positions come from the simulator.
    EXPECT_EQ(Trim(row(4)).substr(0, 6), "14:05Z") << screen();
    EXPECT_NE(row(4).find("2026/03/05"), std::string::npos) << screen();
    EXPECT_EQ(row(6), row(8)) << screen();
    EXPECT_EQ(row(8), row(10)) << screen();
    EXPECT_EQ(Trim(row(6)), DegreesMinutes(aircraft_->position.latRad, aircraft_->position.lonRad)) << screen();
}

TEST_F(PageEntriesTest, WeightsShowDashesUntilTheSimulatorGivesThem) {
    keys("F1 L3");
    for (int r : {2, 4, 6, 8}) EXPECT_EQ(row(r).substr(0, 5), "---.-") << screen();
    aircraft_->grossWeightLb = 152340;
    keys("F1 L3");
    EXPECT_EQ(row(2).substr(0, 5), "152.3") << screen();
    for (int r : {4, 6, 8}) EXPECT_EQ(row(r).substr(0, 5), "---.-") << screen();  // no source for these
}

TEST_F(PageEntriesTest, RouteEntriesAreRefusedWithTheirReasons) {
    keys("F2");
    for (const auto& [text, key, message] : std::vector<std::tuple<std::string, std::string, std::string>>{
             {"ZZZZ", "L1", "NOT IN DATABASE"}, {"K1", "L1", "INVALID ENTRY"}, {"KSEAX", "R1", "INVALID ENTRY"},
             {"16L", "L2", "NOT AVAILABLE"}}) {  // a runway before its airport
        entry(text);
        keys(key);
        EXPECT_EQ(scratchpad(), message) << text << " " << key << "\n" << screen();
    }
    entry("KSEA");
    keys("L1");
    entry("KPDX");
    keys("R1");
    entry("99X");
    keys("L2");
    EXPECT_EQ(scratchpad(), "NOT IN DATABASE") << screen();
    entry("RWY16L");
    keys("L2");
    EXPECT_EQ(row(4).substr(0, 3), "16L") << screen();
    keys("F9");
    entry("J1");
    keys("L1");  // an airway needs a fix to start from
    EXPECT_EQ(scratchpad(), "NOT AVAILABLE") << screen();
    entry("SEA");
    keys("R1");
    entry("V999");
    keys("L2");
    EXPECT_EQ(scratchpad(), "NOT ON AIRWAY") << screen();
    entry("J1");
    keys("L2");
    entry("OLM");  // in the database, but not on J1
    keys("R2");
    EXPECT_EQ(scratchpad(), "NOT ON AIRWAY") << screen();
    entry("ZZZZZ");
    keys("R2");
    EXPECT_EQ(scratchpad(), "NOT IN DATABASE") << screen();
    entry("BTG");
    keys("R2");
    EXPECT_EQ(Trim(row(4)), "J1                   BTG") << screen();
    EXPECT_EQ(scriptError(), "");
}

TEST_F(PageEntriesTest, LegsConstraintsRangeDeleteAndTheActiveLeg) {
    keys("F2");
    type("KSEA");
    keys("L1");
    type("KPDX");
    keys("R1 F4");
    int destinationLine = 2;
    for (const char* fix : {"OLM", "BTG", "UBG"}) {
        type(fix);
        keys("L" + std::to_string(destinationLine++));  // in front of the destination
    }
    ASSERT_EQ(Trim(row(2)).substr(0, 4), "KSEA") << screen();
    ASSERT_EQ(Trim(row(10)).substr(0, 4), "KPDX") << screen();
    entry("FL120");
    keys("R2");
    EXPECT_EQ(row(4).substr(19), "12000") << screen();
    entry("/8000");
    keys("R3");
    EXPECT_EQ(row(6).substr(20), "8000") << screen();
    for (const std::string bad : {"250/9000", "ABC", "FL500", "123456"}) {
        entry(bad);
        keys("R3");
        EXPECT_NE(scratchpad().find("NOT AVAILABLE") + scratchpad().find("INVALID ENTRY"), 2 * std::string::npos) << bad;
        EXPECT_EQ(row(6).substr(20), "8000") << bad << "\n" << screen();
    }
    entry("");
    keys("K2 R3");  // DELETE on the constraint removes it
    EXPECT_EQ(row(6).substr(19), "-----") << screen();

    // The leg into each waypoint is written above it, as the plan tool gives it for the leg before.
    const std::string olmLeg = Trim(row(3));
    EXPECT_EQ(olmLeg.substr(3, 1), "`") << screen();

    entry("OLM/UBG");
    keys("R6");  // delete every leg between the two
    EXPECT_EQ(Trim(row(4)).substr(0, 3), "OLM") << screen();
    EXPECT_EQ(Trim(row(6)).substr(0, 3), "UBG") << screen();
    EXPECT_FALSE(shows("BTG")) << screen();
    for (const std::string bad : {"OLM/UBG", "UBG/OLM", "OLM/ZZZ", "OLM", "A/B/C/D"}) {
        entry(bad);
        keys("R6");
        EXPECT_FALSE(scratchpad().empty() || scratchpad() == bad) << bad << "\n" << screen();
    }
    keys("F10");
    EXPECT_EQ(title(), "ACT LEGS") << screen();
    EXPECT_EQ(colourAt(4, 0), 3) << screen();  // the active leg's TO in magenta
    EXPECT_EQ(colourAt(6, 0), 1) << screen();
    EXPECT_EQ(scriptError(), "");
}

TEST_F(PageEntriesTest, ClearAndDeleteBehaveAsOnAnAirlineCdu) {
    keys("F7");
    type("ABCDEF");
    keys("K3");
    EXPECT_EQ(scratchpad(), "ABCDE");
    burst("K3 K3 K3");  // held down: the whole scratchpad goes
    EXPECT_EQ(scratchpad(), "");
    keys("K2");
    EXPECT_EQ(scratchpad(), "DELETE");
    type("S");  // typing replaces DELETE
    EXPECT_EQ(scratchpad(), "S");
    keys("K2");  // DEL on text is refused, the text kept behind the message
    EXPECT_EQ(scratchpad(), "INVALID ENTRY");
    keys("K3");
    EXPECT_EQ(scratchpad(), "S");
    type("EAZZ");
    keys("L1");
    EXPECT_EQ(scratchpad(), "NOT IN DATABASE");
    type("X");  // typing after a refusal goes on with the text
    EXPECT_EQ(scratchpad(), "SEAZZX");
    type(std::string(30, 'A'));
    EXPECT_EQ(scratchpad().size(), 24u);
}

TEST_F(PageEntriesTest, NavDataFindsEveryRowOfAnIdentAndTheRouteOnAnAirway) {
    keys("F7");
    type("SEA");
    keys("L1");
    const int32_t count = core_->Database()->FindWaypoints("SEA").count;
    ASSERT_GT(count, 0);
    EXPECT_NE(row(2).find(std::to_string(count) + " IN DATABASE"), std::string::npos) << screen();
    EXPECT_NE(row(3).find("1 SEA"), std::string::npos) << screen();
    EXPECT_NE(row(4).find("N47`"), std::string::npos) << screen();
    entry("KPDX");
    keys("L1");
    EXPECT_NE(row(3).find("AIRPORT"), std::string::npos) << screen();
    entry("J1");
    keys("R1");
    EXPECT_EQ(scratchpad(), "NOT IN FLIGHT PLAN") << screen();  // airways are found through the route
    keys("K3 F2");
    entry("KSEA");
    keys("L1");
    entry("KPDX");
    keys("R1 F9");
    entry("SEA");
    keys("R1");
    entry("J1");
    keys("L2");
    entry("BTG");
    keys("R2 F7");
    entry("J1");
    keys("R1");
    EXPECT_NE(row(4).find("SEA BTG"), std::string::npos) << screen();
}

TEST_F(PageEntriesTest, DirectToFromTheDirIntcKey) {
    keys("F2");
    type("KSEA");
    keys("L1");
    type("KPDX");
    keys("R1 F4");
    type("OLM");
    keys("L2");
    type("BTG");
    keys("L3 F10 K4");
    ASSERT_EQ(title(), "ACT DIR INTC") << screen();
    EXPECT_NE(row(4).find("<BTG"), std::string::npos) << screen();
    keys("L2");  // direct to BTG: the legs before it go
    EXPECT_EQ(title(), "MOD LEGS") << screen();
    EXPECT_EQ(row(2).substr(0, 4), "(DC)") << screen();
    EXPECT_EQ(Trim(row(4)).substr(0, 3), "BTG") << screen();
    keys("L6 K4");
    type("UBG");  // not in the plan: inserted, then flown direct
    keys("L1");
    EXPECT_EQ(Trim(row(4)).substr(0, 3), "UBG") << screen();
    EXPECT_NE(screen().find("OLM"), std::string::npos) << screen();
}

}  // namespace
}  // namespace halvex::test
