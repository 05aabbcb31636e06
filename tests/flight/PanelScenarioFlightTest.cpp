// A pilot at the panel: the plan built key by key on the CDU face of the loaded gauge module,
// executed, the autopilot engaged with the AP85 and LNAV buttons, then flown. Halfway, what PROG
// and VNAV show is compared with what the flight recorded at the same simulated second.
#include <gtest/gtest.h>

#include <cairo.h>

#include <sys/wait.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "FlightRun.h"
#include "support/TempTree.h"

namespace {

using halvex::test::Flight;

// The same flight as the command-line plan: SEA7 from 16L, SEA, J1 to ALDER, ILS 10R.
const char* kScenario = R"(# built on the CDU, then engaged at the panel
at 0 keys F2 K S E A L1 K P D X R1 1 6 L L2
at 0 keys F3 L1
at 0 keys L4
at 0 keys F2 F9 S E A R1 J 1 L2 A L D E R R2
at 0 keys F3 R1
at 0 keys R3
at 0 keys R2
at 0 keys F1 L3
at 0 keys 1 4 0 0 0 R1
at 0 keys F4 F10
at 0 screen legs.txt
# autopilot master, LNAV on its own button, VNAV
at 2 click AP85 422 47
at 2 click LNAV_BTN 28 23
at 2 click AP85 78 121
at 2 snapshot engaged.png
at 900 keys F6
at 900 screen prog.txt
at 900 keys F5
at 900 screen vnav.txt
# a click on no rectangle is dropped, the flight goes on
at 901 click EHSI_Zolan 250 250
)";

std::vector<std::string> Lines(const std::string& path) {
    std::ifstream in(path);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

// The first number in text ("6.82LNM" -> 6.82), NaN when there is none.
double FirstNumber(const std::string& text) {
    const size_t at = text.find_first_of("0123456789");
    return at == std::string::npos ? NAN : std::stod(text.substr(at));
}

// The right-hand data of a screen row, e.g. "163  1240Z" of " KPDX          163  1240Z".
std::string RightOf(const std::string& row, size_t column) { return row.size() > column ? row.substr(column) : ""; }

TEST(PanelScenarioFlight, ThePilotsKeysBuildTheFlightAndProgAgreesWithTheTrack) {
    halvex::test::TempTree dir;
    const std::string here = std::filesystem::current_path().string();
    std::ofstream(here + "/pilot.scenario") << kScenario;
    const Flight f = halvex::test::RunFly("--scenario " + here + "/pilot.scenario", here + "/track.csv");

    // The plan the keys built is the command-line plan: every legs waypoint sequenced.
    const std::vector<std::string> legs = Lines(here + "/legs.txt");
    ASSERT_EQ(legs.size(), 15u) << f.output;
    EXPECT_NE(legs[0].find("ACT LEGS"), std::string::npos) << legs[0];
    const std::string sequenced = f.summary.at("sequenced");
    EXPECT_EQ(sequenced.substr(0, sequenced.find('/')), sequenced.substr(sequenced.find('/') + 1)) << f.output;
    EXPECT_GE(std::stoi(sequenced), 10) << f.output;
    EXPECT_LE(f.number("cruise_max_dev_ft"), 100.0) << "cruise entered on PERF INIT: " << f.output;
    EXPECT_LT(f.number("max_abs_xtk_straight_nm"), 0.1) << f.output;
    EXPECT_NE(f.output.find("met no mouse rectangle"), std::string::npos);

    // Engaged by the panel buttons: the track shows LNAV and VNAV from then on.
    const auto* engaged = f.rowAt(5);
    ASSERT_TRUE(engaged);
    EXPECT_EQ(engaged->at("lmode"), "1");
    EXPECT_EQ(engaged->at("vmode"), "1");
    cairo_surface_t* picture = cairo_image_surface_create_from_png((here + "/engaged.png").c_str());
    EXPECT_EQ(cairo_surface_status(picture), CAIRO_STATUS_SUCCESS);
    EXPECT_GT(cairo_image_surface_get_width(picture), 1000);
    cairo_surface_destroy(picture);

    // PROG at 900 s against the track's row of that second.
    const auto* row = f.rowAt(900);
    ASSERT_TRUE(row) << f.output;
    const std::vector<std::string> prog = Lines(here + "/prog.txt");
    ASSERT_EQ(prog.size(), 15u);
    EXPECT_NE(prog[0].find("PROG"), std::string::npos) << prog[0];
    EXPECT_EQ(prog[4].substr(0, row->at("to").size()), row->at("to")) << prog[4];
    EXPECT_NEAR(FirstNumber(RightOf(prog[4], 10)), std::stod(row->at("dtg_nm")), 1.0) << prog[4];
    EXPECT_NEAR(FirstNumber(RightOf(prog[8], 10)), std::stod(row->at("dest_nm")), 1.0) << prog[8];
    const double xtk = std::stod(row->at("xtk_nm"));
    EXPECT_NEAR(FirstNumber(prog[10]), std::abs(xtk), 0.006) << prog[10];
    if (std::abs(xtk) >= 0.005) {
        EXPECT_NE(prog[10].find(xtk > 0 ? "L" : "R"), std::string::npos) << prog[10];
    }
    const double vdev = std::stod(row->at("vdev_ft"));
    EXPECT_NEAR(FirstNumber(RightOf(prog[10], 12)), std::abs(vdev), 1.0) << prog[10];

    // VNAV: the same vertical deviation and the cruise altitude the flight holds.
    const std::vector<std::string> vnav = Lines(here + "/vnav.txt");
    ASSERT_EQ(vnav.size(), 15u);
    EXPECT_NE(vnav[0].find("VNAV"), std::string::npos) << vnav[0];
    EXPECT_NEAR(FirstNumber(vnav[2].substr(0, 12)), std::abs(vdev), 1.0) << vnav[2];
    EXPECT_NE(vnav[2].find("14000"), std::string::npos) << vnav[2];
}

}  // namespace

namespace {

struct Outcome {
    int status = -1;
    std::string output;
};

Outcome FlyExpectingRefusal(const std::string& arguments) {
    Outcome o;
    const std::string command =
        "env -u DISPLAY " + std::string(HALVEX_FMS_EXE) + " fly --root " + HALVEX_SOURCE_DIR + "/data " + arguments + " 2>&1";
    std::FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return o;
    char buffer[512];
    while (std::fgets(buffer, sizeof buffer, pipe)) o.output += buffer;
    const int raw = pclose(pipe);
    o.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    return o;
}

// What fly cannot fly it refuses with a clear message and a status, never a crash.
TEST(PanelScenarioFlight, BadModulesScenariosAndDisplaysAreRefusedClearly) {
    halvex::test::TempTree dir;
    const std::string here = std::filesystem::current_path().string();

    Outcome o = FlyExpectingRefusal("--plan \"org KSEA; dst KPDX; exec\" --module " + here + "/missing.gau");
    EXPECT_EQ(o.status, 1) << o.output;
    EXPECT_NE(o.output.find("no gauge module at " + here + "/missing.gau"), std::string::npos) << o.output;

    std::ofstream(here + "/fake.gau") << "not a shared library";
    o = FlyExpectingRefusal("--plan \"org KSEA; dst KPDX; exec\" --module " + here + "/fake.gau");
    EXPECT_EQ(o.status, 1) << o.output;
    EXPECT_NE(o.output.find("fake.gau"), std::string::npos) << o.output;

    std::ofstream(here + "/typo.scenario") << "# keys\nat 0 keys F2\nat 1 keys K S E A L7\n";
    o = FlyExpectingRefusal("--scenario " + here + "/typo.scenario");
    EXPECT_EQ(o.status, 2) << o.output;
    EXPECT_NE(o.output.find("line 3"), std::string::npos) << o.output;
    EXPECT_NE(o.output.find("L7"), std::string::npos) << o.output;

    o = FlyExpectingRefusal("--scenario " + here + "/absent.scenario");
    EXPECT_EQ(o.status, 2) << o.output;

    o = FlyExpectingRefusal("--plan \"org KSEA; dst KPDX; orgrwy 16L; exec\" --window");
    EXPECT_EQ(o.status, 3) << "no display: the caller may fly headless instead. " << o.output;

    o = FlyExpectingRefusal("");
    EXPECT_EQ(o.status, 2) << o.output;
    EXPECT_NE(o.output.find("nothing to fly"), std::string::npos) << o.output;
}

}  // namespace
