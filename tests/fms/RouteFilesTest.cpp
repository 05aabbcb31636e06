// Company-route files on the bundled western-US navigation data: the document written, the
// generated names, the load into the modified plan and every kind of bad file.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include <unistd.h>

#include "fms/RouteFiles.h"
#include "fms/RouteXml.h"
#include "navdb/NavDatabase.h"
#include "support/TempTree.h"

namespace halvex {
namespace {

namespace fs = std::filesystem;
using test::TempTree;

const std::string kDir = kRouteDirectory;

class NoAircraft : public AircraftSource {
public:
    GeoPoint PresentPosition() const override { return MakeSurfacePoint(0.8f, -2.1f); }
    float PresentAltitudeFt() const override { return 0; }
};

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

size_t Count(const std::string& text, const std::string& what) {
    size_t n = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
    return n;
}

class RouteFilesTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        database = new NavDatabase;
        database->LoadFrom(fs::path(HALVEX_SOURCE_DIR) / "data/FMCWP/NavData");
    }
    static void TearDownTestSuite() {
        delete database;
        database = nullptr;
    }
    void SetUp() override { tree.copyFromSource("data/PMDG", "PMDG"); }

    int32_t fix(const char* ident) const { return database->FindWaypoints(ident).first; }

    // The active plan KSEA, SEA, (V23 to BTG,) KPDX.
    void activeSeattlePortland(FlightPlanSet& set, bool viaAirway = true) {
        ASSERT_EQ(set.setOrigin("KSEA"), 0);
        ASSERT_EQ(set.setDestination("KPDX"), 0);
        ASSERT_EQ(set.insertFplnWaypoint(fix("SEA"), 0), 0);
        if (viaAirway) {
            ASSERT_EQ(set.insertAirwaySegment(fix("BTG"), airwayWith("V23", "SEA"), 1), 0);
        }
        set.activate();
    }
    int32_t airwayWith(const char* name, const char* ident) const {
        for (int32_t a = 0; a < database->AirwayCount(); ++a)
            if (std::string(database->AirwayName(a)) == name && database->AirwayContains(a, fix(ident))) return a;
        return -1;
    }
    void writeRoute(const std::string& name, const std::string& text) const { tree.write(kDir + name + ".xml", text); }

    static NavDatabase* database;
    TempTree tree;
    NoAircraft aircraft;
    FlightPlanSet plans{database, nullptr, &aircraft};
};

NavDatabase* RouteFilesTest::database = nullptr;

std::string Route(const std::string& body, const std::string& origin = R"(<ORIGIN ID="KSEA"/>)",
                  const std::string& destination = R"(<DESTINATION ID="KPDX"/>)") {
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<FMS_COROUTE>" + origin + destination + body + "</FMS_COROUTE>\n";
}

// ---- Names -------------------------------------------------------------------------------------

TEST(RouteNames, PathsDrivesAndControlCharactersAreNotNames) {
    for (const char* good : {"KSEAKPDX1", "COMPANY 7", "a.b", "KSEA-KPDX"}) EXPECT_TRUE(IsRouteName(good)) << good;
    for (const char* bad : {"", "../x", "a/b", "a\\b", "..", "C:route", "x:y", "tab\there", "nl\n", "del\x7f"})
        EXPECT_FALSE(IsRouteName(bad)) << bad;
}

// Names that would open a device or lose characters on Windows: refused everywhere, since the
// files travel. Look-alikes that are ordinary file names stay valid.
TEST(RouteNames, DeviceNamesAndTrailingDotsOrSpacesAreNotNames) {
    for (const char* bad : {"CON", "con", "PRN", "Aux", "NUL", "COM1", "com9", "LPT1", "lpt5", "CON.route", "nul.x.y",
                            "COM3 ", "AUX .a", "CONIN$", "route.", "route ", "KSEA.", "a?b", "a*", "x|y", "<r>", "q\"x"})
        EXPECT_FALSE(IsRouteName(bad)) << bad;
    for (const char* good : {"CONSOLE", "COM", "COM0", "COM10", "LPT", "NULL1", "ACON", "PRNT.a", "KSEA.KPDX", "a b"})
        EXPECT_TRUE(IsRouteName(good)) << good;
}

TEST(RouteNames, GeneratedNameIsFirstCandidateNotPrefixOfAListedName) {
    EXPECT_EQ(GeneratedRouteFileName("KSEA", "KLAX", {}), "KSEAKLAX1.xml");
    EXPECT_EQ(GeneratedRouteFileName("KSEA", "KLAX", {"KSEAKLAX1.xml", "KSEAKLAX2.xml"}), "KSEAKLAX3.xml");
    // Over the candidate's length: KSEAKLAX12.xml does not hold KSEAKLAX1.xml.
    EXPECT_EQ(GeneratedRouteFileName("KSEA", "KLAX", {"KSEAKLAX12.xml"}), "KSEAKLAX1.xml");
    EXPECT_EQ(GeneratedRouteFileName("KSEA", "KLAX", {"kseaklax1.XML"}), "KSEAKLAX2.xml");
    // A longer name that starts with the candidate does hold it.
    EXPECT_EQ(GeneratedRouteFileName("KSEA", "KLAX", {"KSEAKLAX1.xml.old"}), "KSEAKLAX2.xml");
    std::vector<std::string> all;
    for (int n = 1; n <= 999; ++n) all.push_back("KSEAKLAX" + std::to_string(n) + ".xml");
    EXPECT_EQ(GeneratedRouteFileName("KSEA", "KLAX", all), "KSEAKLAX999.xml");
}

TEST(RouteNames, NumbersHaveSevenSignificantDigits) {
    EXPECT_EQ(RouteNumberText(0.8281729f), "0.8281729");
    EXPECT_EQ(RouteNumberText(-2.134577f), "-2.134577");
    EXPECT_EQ(RouteNumberText(-1.0f), "-1");
    EXPECT_EQ(RouteNumberText(12000.0f), "12000");
    EXPECT_EQ(RouteNumberText(123456789.0f), "1.234568e+08");
}

TEST_F(RouteFilesTest, RefusedNamesTouchNothingOutsideTheFolder) {
    activeSeattlePortland(plans);
    for (const char* bad : {"../escaped", "..\\escaped", "C:escaped", "sub/escaped", "bell\a"}) {
        EXPECT_EQ(saveRoute(plans, bad), -1) << bad;
        EXPECT_EQ(loadRoute(plans, bad), -1) << bad;
    }
    EXPECT_FALSE(fs::exists("Gauges/HalvexFmsZolan/escaped.xml"));
    EXPECT_TRUE(ListRoutes().empty());
    EXPECT_EQ(loadRoute(plans, ""), -1);
}

// ---- Saving ------------------------------------------------------------------------------------

TEST_F(RouteFilesTest, SavedDocumentHasTheFormatFilesInTheFieldHave) {
    activeSeattlePortland(plans);
    FlightPlan& active = plans.Active();
    const int32_t sea = active.FplnEntryIndex(0);
    active.entries[static_cast<size_t>(sea)].altitude = 9000;
    active.entries[static_cast<size_t>(sea)].altitudeKind = 2;
    ASSERT_EQ(saveRoute(plans, "COMPANY"), 0);

    const std::string text = ReadFile(kDir + "COMPANY.xml");
    ASSERT_FALSE(text.empty());
    EXPECT_NE(static_cast<unsigned char>(text[0]), 0xEF) << "no byte-order mark";
    EXPECT_NE(text.find("encoding=\"UTF-8\""), std::string::npos);
    EXPECT_NE(text.find("<FMS_COROUTE>"), std::string::npos);
    EXPECT_NE(text.find("<ORIGIN ID=\"KSEA\"/>"), std::string::npos);
    EXPECT_NE(text.find("<DESTINATION ID=\"KPDX\"/>"), std::string::npos);
    EXPECT_NE(text.find("\n  <WP "), std::string::npos) << "pretty printed";

    // Airports are not WPs; every other entry is, numbered from 0.
    const size_t wps = active.entries.size() - 2;
    EXPECT_EQ(Count(text, "<WP "), wps);
    EXPECT_NE(text.find("INDEX=\"" + std::to_string(wps - 1) + "\""), std::string::npos);
    EXPECT_EQ(Count(text, "INDEX=\"" + std::to_string(wps) + "\""), 0u);

    const WaypointEntry& e = active.entries[static_cast<size_t>(sea)];
    const std::string seaElement = "<WP ALT=\"9000\" ALT_SFX=\"ABOVE\" ID=\"SEA\" INDEX=\"0\" LAT=\"" +
                                   RouteNumberText(e.position.lat) + "\" LNG=\"" + RouteNumberText(e.position.lon) +
                                   "\" TYPE=\"13\" VFLAG=\"3\"/>";
    EXPECT_NE(text.find(seaElement), std::string::npos) << text;
    EXPECT_NE(text.find("RTE=\"V23\""), std::string::npos);
    EXPECT_EQ(text.find("ALT_PREFIX"), std::string::npos);
}

TEST_F(RouteFilesTest, GeneratedNamesSkipTakenNumbersOnly) {
    ASSERT_EQ(plans.setOrigin("KSEA"), 0);
    plans.setDestination("KLAX");  // -1 for want of a procedure file; the airport is set
    ASSERT_EQ(plans.Modified().destination, database->FindAirport("KLAX"));
    plans.activate();
    tree.write(kDir + "KSEAKLAX1.xml", "x");
    tree.write(kDir + "kseaklax2.XML", "x");
    EXPECT_EQ(SaveRouteFile(plans, ""), "KSEAKLAX3.xml");
    EXPECT_TRUE(fs::exists(kDir + "KSEAKLAX3.xml"));

    TempTree other;  // KSEAKLAX12 alone does not block 1
    other.write(kDir + "KSEAKLAX12.xml", "x");
    EXPECT_EQ(SaveRouteFile(plans, ""), "KSEAKLAX1.xml");
}

TEST_F(RouteFilesTest, GeneratedNameComesFromTheCurrentPlanDocumentFromTheActive) {
    activeSeattlePortland(plans, false);
    ASSERT_EQ(plans.setDestination("KSFO"), 0);  // modifying now
    EXPECT_EQ(SaveRouteFile(plans, ""), "KSEAKSFO1.xml");
    const std::string text = ReadFile(kDir + "KSEAKSFO1.xml");
    EXPECT_NE(text.find("<DESTINATION ID=\"KPDX\"/>"), std::string::npos);
}

TEST_F(RouteFilesTest, SaveWithoutAirportsFailsWithoutAFile) {
    testing::internal::CaptureStderr();
    EXPECT_EQ(saveRoute(plans, "EMPTY"), -1);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "ERROR\n");
    EXPECT_FALSE(fs::exists(kDir + "EMPTY.xml"));
    // Unnamed: the current plan has no airports to name the file after.
    EXPECT_EQ(saveRoute(plans), -1);
    EXPECT_TRUE(ListRoutes().empty());
}

TEST_F(RouteFilesTest, FolderIsCreatedWhenMissingAndAFolderThatCannotBeIsAFailure) {
    activeSeattlePortland(plans, false);
    ASSERT_FALSE(fs::exists(kDir));
    EXPECT_EQ(saveRoute(plans, "FIRST"), 0);
    EXPECT_TRUE(fs::exists(kDir + "FIRST.xml"));

    TempTree blocked;  // a file where the folder should be: works as root too
    blocked.write("Gauges/HalvexFmsZolan/Route", "not a folder");
    EXPECT_EQ(saveRoute(plans, "X"), -1);
    EXPECT_EQ(saveRoute(plans), -1);
}

TEST_F(RouteFilesTest, FailedSaveKeepsThePreviousFile) {
    activeSeattlePortland(plans);
    writeRoute("KEEP", "previous");
    // The temporary file cannot be made: a folder stands at its name.
    fs::create_directories(kDir + "KEEP.xml.tmp" + std::to_string(::getpid()) + "/blocker");
    testing::internal::CaptureStderr();
    EXPECT_EQ(saveRoute(plans, "KEEP"), -1);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "ERROR\n");
    EXPECT_EQ(ReadFile(kDir + "KEEP.xml"), "previous");

    // A folder at the route's own name cannot be replaced either; no temporary is left over.
    fs::create_directories(kDir + "TAKEN.xml/inside");
    EXPECT_EQ(saveRoute(plans, "TAKEN"), -1);
    EXPECT_TRUE(fs::is_directory(kDir + "TAKEN.xml/inside"));
    for (const auto& entry : fs::directory_iterator(kDir))
        EXPECT_EQ(entry.path().filename().string().find("TAKEN.xml.tmp"), std::string::npos);

#if !defined(_WIN32)  // a folder's read-only flag does not stop new files on Windows
    if (::geteuid() != 0) {  // permissions only block ordinary users
        fs::permissions(kDir, fs::perms::owner_write, fs::perm_options::remove);
        EXPECT_EQ(saveRoute(plans, "READONLY"), -1);
        fs::permissions(kDir, fs::perms::owner_write, fs::perm_options::add);
    }
#endif
}

TEST_F(RouteFilesTest, ListRoutesFiltersByPrefixWithoutCase) {
    writeRoute("KSEAKPDX1", "x");
    writeRoute("kseakpdx2", "x");
    writeRoute("KSFOKLAX1", "x");
    tree.write(kDir + "KSEAKPDX3.txt", "x");
    fs::create_directories(kDir + "KSEAKPDX4.xml");
    EXPECT_EQ(ListRoutes("KSEAKPDX"), (std::vector<std::string>{"KSEAKPDX1", "kseakpdx2"}));
    EXPECT_EQ(ListRoutes().size(), 3u);
}

// ---- Loading -----------------------------------------------------------------------------------

TEST_F(RouteFilesTest, RoundTripGivesTheSameRouteInTheModifiedPlan) {
    activeSeattlePortland(plans);
    ASSERT_EQ(saveRoute(plans, "RT"), 0);
    FlightPlanSet fresh(database, nullptr, &aircraft);
    ASSERT_EQ(loadRoute(fresh, "RT"), 0);
    EXPECT_TRUE(fresh.isModifying());
    const FlightPlan& a = plans.Active();
    const FlightPlan& m = fresh.Modified();
    EXPECT_EQ(m.origin, a.origin);
    EXPECT_EQ(m.destination, a.destination);
    ASSERT_EQ(m.entries.size(), a.entries.size());
    for (size_t i = 0; i < a.entries.size(); ++i) {
        SCOPED_TRACE(a.entries[i].name);
        EXPECT_EQ(m.entries[i].name, a.entries[i].name);
        EXPECT_EQ(m.entries[i].kind, a.entries[i].kind);
        EXPECT_EQ(m.entries[i].onLegs, a.entries[i].onLegs);
        EXPECT_EQ(m.entries[i].onFpln, a.entries[i].onFpln);
        EXPECT_NEAR(m.entries[i].position.lat, a.entries[i].position.lat, 1e-6);
        EXPECT_NEAR(m.entries[i].position.lon, a.entries[i].position.lon, 1e-6);
        EXPECT_EQ(m.entries[i].airwayIndex >= 0, a.entries[i].airwayIndex >= 0);
        if (a.entries[i].airwayIndex >= 0) {
            EXPECT_STREQ(database->AirwayName(m.entries[i].airwayIndex), database->AirwayName(a.entries[i].airwayIndex));
        }
    }
    EXPECT_NEAR(m.totalDistance, a.totalDistance, 0.01);
    EXPECT_TRUE(m.originProcedures) << "the origin's procedures are loaded";
    EXPECT_TRUE(m.destinationProcedures);
    // Entries read from the file are not database fixes.
    EXPECT_EQ(m.entries[static_cast<size_t>(m.FplnEntryIndex(0))].fixIndex, -1);
}

// A file edited on Windows (CRLF line ends) loads exactly like the file that was saved.
TEST_F(RouteFilesTest, CrlfCopyOfASavedRouteLoadsTheSame) {
    activeSeattlePortland(plans);
    ASSERT_EQ(saveRoute(plans, "LF"), 0);
    const std::string saved = ReadFile(tree.root() / kDir / "LF.xml");
    ASSERT_GT(Count(saved, "\n"), 3u);
    std::string crlf;
    for (char c : saved) crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
    writeRoute("CRLF", crlf);
    FlightPlanSet fromLf(database, nullptr, &aircraft), fromCrlf(database, nullptr, &aircraft);
    ASSERT_EQ(loadRoute(fromLf, "LF"), 0);
    ASSERT_EQ(loadRoute(fromCrlf, "CRLF"), 0);
    const FlightPlan& a = fromLf.Modified();
    const FlightPlan& b = fromCrlf.Modified();
    ASSERT_EQ(b.entries.size(), a.entries.size());
    for (size_t i = 0; i < a.entries.size(); ++i) {
        EXPECT_EQ(b.entries[i].name, a.entries[i].name);
        EXPECT_EQ(b.entries[i].altitude, a.entries[i].altitude);
    }
    EXPECT_NEAR(b.totalDistance, a.totalDistance, 1e-6);
}

TEST_F(RouteFilesTest, BelowComesBackAsAtAndPrefixIsWhatIsRead) {
    activeSeattlePortland(plans, false);
    FlightPlan& active = plans.Active();
    const size_t sea = static_cast<size_t>(active.FplnEntryIndex(0));
    active.entries[sea].altitude = 9000;
    active.entries[sea].altitudeKind = 1;
    ASSERT_EQ(saveRoute(plans, "BELOW"), 0);
    EXPECT_NE(ReadFile(kDir + "BELOW.xml").find("ALT_SFX=\"BELOW\""), std::string::npos);
    ASSERT_EQ(loadRoute(plans, "BELOW"), 0);
    const WaypointEntry* loaded = plans.Modified().FplnEntry(0);
    ASSERT_TRUE(loaded);
    EXPECT_EQ(loaded->altitude, 9000.0f);
    EXPECT_EQ(loaded->altitudeKind, 0u);

    writeRoute("PREFIX", Route(R"(<WP ID="A" LAT="0.8" LNG="-2.1" ALT="12000" ALT_PREFIX="2" TYPE="13" VFLAG="3"/>)"
                               R"(<WP ID="B" LAT="0.79" LNG="-2.1" ALT="70000" ALT_PREFIX="1" TYPE="13" VFLAG="3"/>)"));
    ASSERT_EQ(loadRoute(plans, "PREFIX"), 0);
    EXPECT_EQ(plans.Modified().FplnEntry(0)->altitude, 12000.0f);
    EXPECT_EQ(plans.Modified().FplnEntry(0)->altitudeKind, 2u);
    EXPECT_EQ(plans.Modified().FplnEntry(1)->altitude, -1.0f) << "above 65000 is ignored with its kind";
    EXPECT_EQ(plans.Modified().FplnEntry(1)->altitudeKind, 0u);
}

TEST_F(RouteFilesTest, HiddenPointsAreWrittenAndMadeAgainByTheRecompute) {
    ASSERT_EQ(plans.setOrigin("KSEA"), 0);
    ASSERT_EQ(plans.setDestination("KSFO"), 0);
    plans.activate();
    const FlightPlan& active = plans.Active();
    const size_t hidden = static_cast<size_t>(std::count_if(active.entries.begin(), active.entries.end(),
                                                            [](const WaypointEntry& e) { return !e.onLegs && !e.onFpln; }));
    ASSERT_GT(hidden, 0u);
    ASSERT_EQ(saveRoute(plans, "LONG"), 0);
    EXPECT_EQ(Count(ReadFile(kDir + "LONG.xml"), "VFLAG=\"0\""), hidden);
    ASSERT_EQ(loadRoute(plans, "LONG"), 0);
    EXPECT_EQ(plans.Modified().entries.size(), active.entries.size());
    for (const WaypointEntry& e : plans.Modified().entries) EXPECT_TRUE(e.name.empty() || e.onLegs || e.onFpln);
}

TEST_F(RouteFilesTest, AirportsAreSetAndWaypointsGoInFrontOfTheDestination) {
    writeRoute("ORDER", Route(R"(<WP ID="ONE" LAT="0.81" LNG="-2.13" TYPE="13" VFLAG="3"/>)"
                              R"(<WP ID="TWO" LAT="0.80" LNG="-2.13" TYPE="13" VFLAG="1" RTE="V23"/>)"
                              R"(<WP ID="THREE" LAT="0.79" LNG="-2.13" TYPE="13" VFLAG="3" RTE="NOSUCH"/>)"));
    ASSERT_EQ(loadRoute(plans, "ORDER"), 0);
    const FlightPlan& m = plans.Modified();
    std::vector<std::string> names;
    for (const WaypointEntry& e : m.entries) names.push_back(e.name);
    EXPECT_EQ(names, (std::vector<std::string>{"KSEA", "ONE", "TWO", "THREE", "KPDX"}));
    EXPECT_EQ(m.entries[0].kind, 0);
    EXPECT_EQ(m.entries[4].kind, 1);
    EXPECT_EQ(m.origin, database->FindAirport("KSEA"));
    EXPECT_EQ(m.destination, database->FindAirport("KPDX"));
    EXPECT_EQ(m.entries[2].airwayIndex, database->FindAirway("V23"));
    EXPECT_EQ(m.entries[3].airwayIndex, -1) << "an unknown airway name reads as DIRECT";
    EXPECT_EQ(m.entries[2].onFpln, 0);
    EXPECT_EQ(m.LegsCount(), 5);
    EXPECT_EQ(m.FplnCount(), 2);
    EXPECT_GT(m.totalDistance, 100.0f);
}

TEST_F(RouteFilesTest, LoadReplacesAModificationInProgress) {
    activeSeattlePortland(plans);
    ASSERT_EQ(plans.setDestination("KSFO"), 0);
    writeRoute("SHORT", Route(""));
    ASSERT_EQ(loadRoute(plans, "SHORT"), 0);
    ASSERT_EQ(plans.Modified().LegsCount(), 2);
    EXPECT_EQ(plans.Modified().FplnCount(), 0);
    EXPECT_EQ(plans.Modified().LegsEntry(1)->name, "KPDX");
    EXPECT_EQ(plans.Modified().sid, -1);
    EXPECT_EQ(plans.Active().entries.size() > 2, true) << "the active plan is untouched";
}

// ---- Bad files ---------------------------------------------------------------------------------

TEST_F(RouteFilesTest, UnusableFilesAreRefusedAndLeaveThePlansAlone) {
    activeSeattlePortland(plans);
    ASSERT_EQ(plans.setDestination("KSFO"), 0);  // a modification the crew is working on
    const size_t modifiedBefore = plans.Modified().entries.size();

    writeRoute("EMPTY", "");
    writeRoute("NOTXML", "this is not XML <<<");
    writeRoute("TRUNCATED", "<FMS_COROUTE><ORIGIN ID=\"KSEA\"/>");
    writeRoute("WRONGROOT", "<ROUTE><ORIGIN ID=\"KSEA\"/><DESTINATION ID=\"KPDX\"/></ROUTE>");
    writeRoute("NOORIGIN", Route("", ""));
    writeRoute("NODEST", Route("", R"(<ORIGIN ID="KSEA"/>)", ""));
    writeRoute("BAREORIGIN", Route("", "<ORIGIN/>"));
    writeRoute("IDNOTFIRST", Route("", R"(<ORIGIN CODE="X" ID="KSEA"/>)"));  // DOM order: CODE, ID
    writeRoute("IDNOTFIRSTDEST", Route("", R"(<ORIGIN ID="KSEA"/>)", R"(<DESTINATION AAA="1" ID="KPDX"/>)"));
    writeRoute("UNKNOWNORIGIN", Route("", R"(<ORIGIN ID="ZZZZ"/>)"));
    writeRoute("UNKNOWNDEST", Route("", R"(<ORIGIN ID="KSEA"/>)", R"(<DESTINATION ID=""/>)"));
    writeRoute("DOCTYPE", "<?xml version=\"1.0\"?><!DOCTYPE FMS_COROUTE [<!ENTITY x SYSTEM \"/etc/passwd\">]>"
                          "<FMS_COROUTE><ORIGIN ID=\"&x;\"/><DESTINATION ID=\"KPDX\"/></FMS_COROUTE>");
    // Points off the sphere: a longitude of 1e15 rad once made the leg splitting run until
    // memory ran out.
    writeRoute("HUGELNG", Route(R"(<WP ID="A" LAT="0.8" LNG="1e15" TYPE="13" VFLAG="3"/>)"));
    writeRoute("LATPASTPOLE", Route(R"(<WP ID="A" LAT="1.58" LNG="-2.1" TYPE="13" VFLAG="3"/>)"));
    writeRoute("LNGPASTDATELINE", Route(R"(<WP ID="A" LAT="0.8" LNG="-3.15" TYPE="13" VFLAG="3"/>)"));
    for (const char* name : {"MISSING", "EMPTY", "NOTXML", "TRUNCATED", "WRONGROOT", "NOORIGIN", "NODEST", "BAREORIGIN",
                             "IDNOTFIRST", "IDNOTFIRSTDEST", "UNKNOWNORIGIN", "UNKNOWNDEST", "DOCTYPE", "HUGELNG",
                             "LATPASTPOLE", "LNGPASTDATELINE"}) {
        EXPECT_EQ(loadRoute(plans, name), -1) << name;
        EXPECT_EQ(plans.Modified().entries.size(), modifiedBefore) << name;
        EXPECT_TRUE(plans.isModifying()) << name;
    }
    // An ID that follows a first attribute sorting before it is not enough; one sorting after is fine.
    writeRoute("IDFIRST", Route("", R"(<ORIGIN ID="KSEA" ZONE="X"/>)"));
    EXPECT_EQ(loadRoute(plans, "IDFIRST"), 0);
}

// The poles and the date line as the writer prints them (seven digits, so a hair past the
// single-precision value) are places on the sphere.
TEST_F(RouteFilesTest, PointsAtThePolesAndOnTheDateLineLoad) {
    const float pi = 3.14159265f, halfPi = 1.57079633f;
    const std::string pole = RouteNumberText(halfPi), southPole = RouteNumberText(-halfPi);
    const std::string east = RouteNumberText(pi), west = RouteNumberText(-pi);
    writeRoute("EDGES", Route("<WP ID=\"N\" LAT=\"" + pole + "\" LNG=\"0\" TYPE=\"13\" VFLAG=\"3\"/>"
                              "<WP ID=\"E\" LAT=\"0\" LNG=\"" + east + "\" TYPE=\"13\" VFLAG=\"3\"/>"
                              "<WP ID=\"W\" LAT=\"0\" LNG=\"" + west + "\" TYPE=\"13\" VFLAG=\"3\"/>"
                              "<WP ID=\"S\" LAT=\"" + southPole + "\" LNG=\"0\" TYPE=\"13\" VFLAG=\"3\"/>"));
    ASSERT_EQ(loadRoute(plans, "EDGES"), 0);
    EXPECT_EQ(plans.Modified().FplnCount(), 4);
    // From the north pole down to the date line is a quarter of a great circle, 5,400 nm.
    EXPECT_NEAR(plans.Modified().FplnEntry(0)->legDistance, 5400, 1);
}

TEST_F(RouteFilesTest, WaypointFaultsKeepWhatWasReadAndSayErrorElemToWp) {
    writeRoute("FAULTS", Route(R"(<WP ID="MISSINGPOS" TYPE="13" VFLAG="3"/>)"
                               R"(<WP ID="BADLAT" LAT="north" LNG="-2.1" TYPE="13" VFLAG="3"/>)"
                               R"(<WP ID="BADFLAG" LAT="0.8" LNG="-2.1" TYPE="13" VFLAG="x"/>)"
                               R"(<WP ID="NAN" LAT="nan" LNG="-2.1" TYPE="13" VFLAG="3"/>)"
                               R"(<WP ID="BADKIND" ALT="100" ALT_PREFIX="7" TYPE="13" VFLAG="3"/>)"
                               R"(<WP/>)"
                               R"(<WP ID="GOOD" LAT="0.8" LNG="-2.1" TYPE="13" VFLAG="3" EXTRA="ignored"/>)"));
    testing::internal::CaptureStderr();
    ASSERT_EQ(loadRoute(plans, "FAULTS"), 0);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "ERROR elemToWp\nERROR elemToWp\nERROR elemToWp\nERROR elemToWp\n");
    // A fault stops the reading before VFLAG (the last attribute in the DOM's order), so the
    // entry stays hidden and the recompute drops it; missing attributes are no fault.
    std::vector<std::string> names;
    for (int32_t i = 0; const WaypointEntry* e = plans.Modified().LegsEntry(i); ++i) names.push_back(e->name);
    EXPECT_EQ(names, (std::vector<std::string>{"KSEA", "MISSINGPOS", "GOOD", "KPDX"}));
    const WaypointEntry& missing = *plans.Modified().LegsEntry(1);
    EXPECT_EQ(missing.position.lat, 0.0f);
    EXPECT_EQ(missing.position.lon, 0.0f);
    EXPECT_EQ(missing.altitude, -1.0f);
}

TEST_F(RouteFilesTest, TenThousandWaypointsLoad) {
    std::string body;
    for (int i = 0; i < 10000; ++i)
        body += "<WP ID=\"P" + std::to_string(i) + "\" LAT=\"" + RouteNumberText(0.82f - 0.00001f * static_cast<float>(i)) +
                "\" LNG=\"-2.13\" ALT=\"-1\" TYPE=\"13\" VFLAG=\"3\"/>\n";
    writeRoute("HUGE", Route(body));
    ASSERT_EQ(loadRoute(plans, "HUGE"), 0);
    EXPECT_EQ(plans.Modified().FplnCount(), 10000);
    EXPECT_EQ(plans.Modified().LegsCount(), 10002);
}

}  // namespace
}  // namespace halvex

namespace halvex {
namespace {

TEST_F(RouteFilesTest, EveryBundledRouteLoads) {
    tree.copyFromSource("data/Gauges/HalvexFmsZolan/Route", kDir);
    const std::vector<std::string> names = ListRoutes();
    EXPECT_GE(names.size(), 4u);
    for (const std::string& name : names) {
        testing::internal::CaptureStderr();
        EXPECT_EQ(loadRoute(plans, name), 0) << name;
        EXPECT_EQ(testing::internal::GetCapturedStderr(), "") << name;
        EXPECT_GE(plans.Modified().FplnCount(), 1) << name;
        EXPECT_EQ(plans.Modified().entries.front().kind, 0) << name;
        EXPECT_EQ(plans.Modified().entries.back().kind, 1) << name;
    }
}

}  // namespace
}  // namespace halvex
