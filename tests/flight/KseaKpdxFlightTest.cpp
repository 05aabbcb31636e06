// KSEA to KPDX with a departure, an airway, an arrival and an approach, calm and with a 40 kt crosswind, flown
// by the fly command through the core's real guidance. The flown track is read back and checked
// as a pilot would: every waypoint in order, on the line between turns, cruise held, the descent
// where it was predicted, the constraints crossed and the 250 kt limit kept.
#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "FlightRun.h"
#include "support/TempTree.h"

namespace {

using halvex::test::Flight;

const char* kRoute =
    "org KSEA; dst KPDX; orgrwy 16L; sid SEA7; wp 6 SEA; via J1 ALDER; dstrwy 28R; app ILS28R; star HHOOD3; exec";
// The arrival (HHOOD, MOSBE) joins the approach at TAMAR.
const char* kWaypoints[] = {"RWY16L", "SEA",   "ALDER", "HHOOD",  "MOSBE", "TAMAR",
                            "NACIY",  "OMMSI", "LAKER", "RWY28R", "KPDX"};

Flight Fly(const std::string& dir, const std::string& extra) {
    return halvex::test::RunFly(std::string("--plan \"") + kRoute + "\" --crz 14000 " + extra, dir + "/track.csv");
}

void ExpectFlownLikeAPilotWould(const Flight& f) {
    ASSERT_FALSE(f.rows.empty()) << f.output;
    EXPECT_EQ(f.output.find("runtime error"), std::string::npos) << "the sanitizer build reports into the output";
    EXPECT_EQ(f.rows.front().size(), 23u);
    // Every legs waypoint, in order.
    size_t at = 0;
    std::istringstream lines(f.output);
    for (std::string line; std::getline(lines, line);) {
        if (line.rfind("seq ", 0) != 0 || at >= std::size(kWaypoints)) continue;
        if (line.find(std::string("name=") + kWaypoints[at] + " ") != std::string::npos) ++at;
    }
    EXPECT_EQ(at, std::size(kWaypoints)) << f.output;
    const std::string sequenced = f.summary.at("sequenced");
    EXPECT_EQ(sequenced.substr(0, sequenced.find('/')), sequenced.substr(sequenced.find('/') + 1));
    // On the line on straight legs three minutes after each turn.
    EXPECT_LT(f.number("max_abs_xtk_straight_nm"), 0.1) << f.output;
    EXPECT_LT(f.number("max_abs_xtk_turn_nm"), 1.5);
    // Cruise held, descent where predicted.
    EXPECT_LE(f.number("cruise_max_dev_ft"), 100.0);
    EXPECT_GE(f.number("tod_offset_nm"), 0.0) << "no descent";
    EXPECT_LT(f.number("tod_offset_nm"), 5.0);
    EXPECT_LE(f.number("max_ias_below_10000_kt"), 255.0);
    EXPECT_GT(f.number("max_ias_below_10000_kt"), 150.0);
    // The arrival's at-constraints.
    size_t constraints = 0;
    std::istringstream again(f.output);
    for (std::string line; std::getline(again, line);) {
        if (line.rfind("constraint: ", 0) != 0) continue;
        ++constraints;
        EXPECT_LE(std::abs(std::stod(line.substr(line.rfind(' ') + 1))), 300.0) << line;
    }
    EXPECT_GE(constraints, 2u) << f.output;
    // The track itself: altitude reached, nothing flown below the field, no NaN anywhere.
    double highest = 0;
    for (const auto& row : f.rows) {
        for (const auto& [key, value] : row) EXPECT_EQ(value.find("nan"), std::string::npos) << key;
        highest = std::max(highest, std::stod(row.at("alt_ft")));
    }
    EXPECT_NEAR(highest, 14000.0, 100.0);
}

TEST(KseaKpdxFlight, CalmAir) {
    halvex::test::TempTree dir;  // the working directory while it lives
    const std::string here = std::filesystem::current_path().string();
    const Flight f = Fly(here, "--kml " + here + "/track.kml");
    ExpectFlownLikeAPilotWould(f);
    std::ifstream kml(here + "/track.kml");
    std::stringstream text;
    text << kml.rdbuf();
    EXPECT_NE(text.str().find("<kml xmlns=\"http://www.opengis.net/kml/2.2\">"), std::string::npos);
    EXPECT_NE(text.str().find("</kml>"), std::string::npos);
}

TEST(KseaKpdxFlight, FortyKnotCrosswind) {
    halvex::test::TempTree dir;
    const Flight f = Fly(std::filesystem::current_path().string(), "--wind 280/40 --hz 9");
    ExpectFlownLikeAPilotWould(f);
}

}  // namespace
