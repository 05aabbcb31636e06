// Loading order, the sorted index, airports, airways and every query's found and not-found
// results, on small trees written for each test and on the bundled sample.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <map>
#include <vector>

#include "NavDataLines.h"
#include "navdb/Geodesy.h"
#include "navdb/NavDatabase.h"
#include "support/TempTree.h"

namespace halvex {
namespace {

using namespace test;

float Rad(double deg) { return static_cast<float>(deg / RadToDeg); }

class NavDatabaseTest : public ::testing::Test {
protected:
    void write(const std::string& file, const std::string& text) { tree.write("FMCWP/NavData/" + file, text); }
    TempTree tree;
    NavDatabase db;
};

TEST_F(NavDatabaseTest, EmptyDirectoryLeavesEverythingEmptyAndEveryLookupNotFound) {
    std::filesystem::create_directories("FMCWP/NavData");
    EXPECT_EQ(db.Load(), 0);
    EXPECT_EQ(db.NavDataId(), "");
    EXPECT_EQ(db.OpProgramId(), "");
    EXPECT_EQ(db.WaypointCount(), 0);
    EXPECT_EQ(db.AirwayCount(), 0);
    EXPECT_EQ(db.AirportCount(), 0);
    const WaypointRun run = db.FindWaypoints("SEA");
    EXPECT_EQ(run.count, 0);
    EXPECT_EQ(run.first, -1);
    EXPECT_EQ(run.Status(), -1);
    EXPECT_EQ(db.FindNearestWaypoint("SEA", 0, 0), -1);
    EXPECT_EQ(db.FindWaypointLinear("SEA"), -1);
    EXPECT_EQ(db.FindAirportWaypoint("KSEA"), -1);
    EXPECT_EQ(db.FindAirway("J1"), -1);
    EXPECT_EQ(db.FindAirwayContaining(0, "J1"), -1);
    EXPECT_EQ(db.FindAirport("KSEA"), -1);
    EXPECT_FALSE(db.AirwayContains(0, 0));
    EXPECT_EQ(db.GetWaypoint(0), nullptr);
    EXPECT_EQ(db.GetAirway(0), nullptr);
    EXPECT_EQ(db.GetAirport(0), nullptr);
    EXPECT_EQ(db.WaypointIdent(0), nullptr);
    EXPECT_EQ(db.AirwayName(0), nullptr);
    EXPECT_EQ(db.AirportName(0), nullptr);
    EXPECT_EQ(db.AirportIdent(0), nullptr);
}

TEST_F(NavDatabaseTest, IdentFileWithoutKeysReadsUnknownAndDirectoriesCountAsMissing) {
    write("fmc_ident.txt", "[Ident]\nSomething=else\n");
    std::filesystem::create_directories("FMCWP/NavData/wpNavFIX.txt");  // a folder where a file should be
    write("airports.dat", AirportPointLine("KSEA", 47.449, -122.309));
    db.Load();
    EXPECT_EQ(db.NavDataId(), "UNKNOWN");
    EXPECT_EQ(db.OpProgramId(), "UNKNOWN");
    EXPECT_EQ(db.WaypointCount(), 1);
}

TEST_F(NavDatabaseTest, SortedByIdentWithFixesThenAidsThenAirportsOnTies) {
    write("wpNavFIX.txt", FixLine("SEA", 1, 1) + FixLine("ZED", 2, 2) + FixLine("A", 3, 3) + FixLine("SEA", 4, 4));
    write("wpNavAID.txt", AidLine("SEA", "VORD", 5, 5) + AidLine("AB", "NDB", 6, 6));
    write("airports.dat", AirportPointLine("SEA", 7, 7) + AirportPointLine("\xc0X", 8, 8));
    db.Load();
    std::vector<std::string> idents;
    for (const NavWaypoint& w : db.Waypoints()) idents.push_back(std::string(w.Ident()));
    EXPECT_EQ(idents, (std::vector<std::string>{"A", "AB", "SEA", "SEA", "SEA", "SEA", "ZED", "\xc0X"}));
    // Equal idents keep load order: both fixes in file order, then the VOR, then the airport.
    EXPECT_FLOAT_EQ(db.GetWaypoint(2)->lat, Rad(1));
    EXPECT_FLOAT_EQ(db.GetWaypoint(3)->lat, Rad(4));
    EXPECT_EQ(db.GetWaypoint(4)->kind, WaypointKind::VorDme);
    EXPECT_EQ(db.GetWaypoint(5)->kind, WaypointKind::Airport);
    EXPECT_EQ(db.Index().DistinctCount(), 5u);
    EXPECT_EQ(db.Index().FirstRow("SEA"), 2);

    const WaypointRun sea = db.FindWaypoints("SEA");
    EXPECT_EQ(sea.count, 4);
    EXPECT_EQ(sea.first, 2);
    EXPECT_EQ(sea.Status(), 0);
    const WaypointRun last = db.FindWaypoints("\xc0X");  // the last row of the table
    EXPECT_EQ(last.count, 1);
    EXPECT_EQ(last.first, 7);
    EXPECT_EQ(db.FindWaypoints("SE").count, 0);
    EXPECT_EQ(db.FindWaypoints("SEAX").count, 0);
    EXPECT_EQ(db.FindWaypoints("").count, 0);
    EXPECT_EQ(db.FindWaypoints("TOOLONGIDENT").count, 0);
    EXPECT_STREQ(db.WaypointIdent(7), "\xc0X");
    EXPECT_EQ(db.WaypointIdent(-1), nullptr);
    EXPECT_EQ(db.WaypointIdent(8), nullptr);
}

TEST_F(NavDatabaseTest, NearestChoosesByGreatCircleAndTiesKeepTheEarlierRow) {
    write("wpNavFIX.txt", FixLine("TRI", 10, 10) + FixLine("TRI", 20, 20) + FixLine("TWIN", 0, 1) + FixLine("ONE", 0, 0));
    write("wpNavAID.txt", AidLine("TRI", "VOR", 30, 30) + AidLine("TWIN", "NDB", 0, -1));
    db.Load();
    const WaypointRun tri = db.FindWaypoints("TRI");
    ASSERT_EQ(tri.count, 3);
    EXPECT_EQ(db.FindNearestWaypoint("TRI", Rad(29), Rad(31)), tri.first + 2);
    EXPECT_EQ(db.FindNearestWaypoint("TRI", Rad(11), Rad(9)), tri.first);
    EXPECT_EQ(db.FindNearestWaypoint("TRI", Rad(20), Rad(20)), tri.first + 1);  // exactly on the row
    const WaypointRun twin = db.FindWaypoints("TWIN");
    EXPECT_EQ(db.FindNearestWaypoint("TWIN", 0, 0), twin.first);  // equal distances: the fix
    EXPECT_EQ(db.FindNearestWaypoint("ONE", Rad(80), Rad(80)), db.FindWaypoints("ONE").first);
    EXPECT_EQ(db.FindNearestWaypoint("NONE", 0, 0), -1);
}

TEST_F(NavDatabaseTest, LinearLookupsAndAirportWaypoints) {
    write("wpNavAID.txt", AidLine("KSEA", "VOR", 1, 1));
    write("airports.dat", AirportPointLine("KSEA", 47.449, -122.309));
    db.Load();
    const int32_t linear = db.FindWaypointLinear("KSEA");
    const int32_t airport = db.FindAirportWaypoint("KSEA");
    EXPECT_EQ(db.GetWaypoint(linear)->kind, WaypointKind::Vor);
    EXPECT_EQ(db.GetWaypoint(airport)->kind, WaypointKind::Airport);
    EXPECT_EQ(airport, linear + 1);
}

// The indexed airport look-ups answer exactly what a scan from the start answers: for two airport
// rows under one ident (the first wins), an ident shared with navaids, and every ident of the
// bundled sample.
TEST_F(NavDatabaseTest, AirportWaypointLookupAgreesWithAScanFromRowZero) {
    auto scan = [&](std::string_view ident) {
        for (int32_t i = 0; i < db.WaypointCount(); ++i)
            if (db.GetWaypoint(i)->kind == WaypointKind::Airport && db.GetWaypoint(i)->Ident() == ident) return i;
        return -1;
    };
    write("wpNavAID.txt", AidLine("KSEA", "VOR", 1, 1) + AidLine("KBFI", "NDB", 2, 2));
    write("airports.dat", AirportPointLine("KSEA", 47.449, -122.309) + AirportPointLine("KSEA", 10, 10) +
                              AirportPointLine("KBFI", 47.53, -122.30));
    db.Load();
    using namespace std::string_view_literals;
    for (std::string_view ident : {"KSEA"sv, "KBFI"sv, "KPDX"sv, ""sv, "TOOLONGIDENT"sv, "K\0EA"sv})
        EXPECT_EQ(db.FindAirportWaypoint(ident), scan(ident)) << ident;
    EXPECT_NEAR(db.GetWaypoint(db.FindAirportWaypoint("KSEA"))->lat, Rad(47.449), 1e-4);

    NavDatabase sample;
    {
        const std::filesystem::path here = std::filesystem::current_path();
        std::filesystem::current_path(std::string(HALVEX_SOURCE_DIR) + "/data");
        sample.Load();
        std::filesystem::current_path(here);
    }
    ASSERT_GT(sample.WaypointCount(), 10000);
    int airports = 0;
    for (int32_t i = 0; i < sample.WaypointCount(); ++i) {
        const std::string_view ident = sample.GetWaypoint(i)->Ident();
        int32_t first = -1;
        for (int32_t j = 0; j < sample.WaypointCount() && first < 0; ++j)
            if (sample.GetWaypoint(j)->kind == WaypointKind::Airport && sample.GetWaypoint(j)->Ident() == ident) first = j;
        if (sample.GetWaypoint(i)->kind == WaypointKind::Airport) ++airports;
        if (sample.GetWaypoint(i)->kind == WaypointKind::Airport || i % 97 == 0) {
            EXPECT_EQ(sample.FindAirportWaypoint(ident), first) << ident;
        }
    }
    EXPECT_GT(airports, 1000);
    for (int32_t a = 0; a < sample.AirportCount(); ++a) {
        const std::string_view icao = sample.GetAirport(a)->Icao();
        int32_t first = -1;
        for (int32_t b = 0; b < sample.AirportCount() && first < 0; ++b)
            if (sample.GetAirport(b)->Icao() == icao) first = b;
        EXPECT_EQ(sample.FindAirport(icao), first) << icao;
    }
    EXPECT_EQ(sample.FindAirport("ZZZZ"), -1);
    EXPECT_EQ(sample.FindAirport(""), -1);
}

TEST_F(NavDatabaseTest, AirportsCollectRunwaysByIcaoInFileOrder) {
    write("wpNavAPT.txt", RunwayLine("SEATTLE TACOMA INTL", "KSEA", "16L", 11900, 163, 47.46, -122.31, 0, 0, 433) +
                              RunwayLine("BOEING FIELD", "KBFI", "13R", 10000, 130, 47.54, -122.31, 0, 0, 21) +
                              RunwayLine("OTHER NAME", "KSEA", "34R", 11900, 343, 47.43, -122.31, 109.9, 343, 433) +
                              RunwayLine("BOEING FIELD", "KBFI", "31L", 10000, 310, 47.52, -122.30, 0, 0, 21));
    db.Load();
    ASSERT_EQ(db.AirportCount(), 2);
    const int32_t sea = db.FindAirport("KSEA");
    ASSERT_EQ(sea, 0);
    const NavAirport& a = *db.GetAirport(sea);
    EXPECT_EQ(a.Name(), "SEATTLE TACOMA INTL");
    ASSERT_EQ(a.runways.size(), 2u);
    EXPECT_EQ(a.runways[0].Ident(), "16L");
    EXPECT_EQ(a.runways[1].Ident(), "34R");
    EXPECT_FLOAT_EQ(a.runways[1].ilsFrequency, 109.9f);
    EXPECT_EQ(db.GetAirport(1)->runways[1].Ident(), "31L");
    EXPECT_STREQ(db.AirportName(1), "BOEING FIELD");
    EXPECT_STREQ(db.AirportIdent(1), "KBFI");
    EXPECT_EQ(db.FindAirport("KSE"), -1);
    EXPECT_EQ(db.WaypointCount(), 0);  // runway lines make no waypoints
}

TEST_F(NavDatabaseTest, AirwaysAreConsecutiveRunsMatchedWithinAThousandthOfARadian) {
    write("wpNavFIX.txt", FixLine("AAA", 10, 10) + FixLine("BBB", 10, 11) + FixLine("CCC", 10, 12) +
                              FixLine("DUP", 0, 0) + FixLine("DUP", 5, 5) + FixLine("FAR", 20, 20));
    const double off = 0.0011 * RadToDeg, near = 0.0009 * RadToDeg;
    write("wpNavRTE.txt", AirwayLine("J1", 1, "AAA", 10, 10) + AirwayLine("J1", 2, "BBB", 10 + near, 11 - near) +
                              AirwayLine("J2", 1, "CCC", 10, 12) + AirwayLine("J1", 1, "CCC", 10, 12) +
                              AirwayLine("J1", 2, "DUP", 5, 5) + AirwayLine("J3", 1, "FAR", 20 + off, 20) +
                              AirwayLine("J3", 2, "NOPE", 1, 1) + AirwayLine("J4", 1, "FAR", 20, 20 - off) +
                              AirwayLine("J4", 2, "FAR", 20, 20));
    db.Load();
    ASSERT_EQ(db.AirwayCount(), 4);  // J1, J2, J1 again; J3 matched nothing; J4
    EXPECT_STREQ(db.AirwayName(0), "J1");
    EXPECT_STREQ(db.AirwayName(1), "J2");
    EXPECT_STREQ(db.AirwayName(2), "J1");
    EXPECT_STREQ(db.AirwayName(3), "J4");
    const auto& first = db.GetAirway(0)->points;
    ASSERT_EQ(first.size(), 2u);
    EXPECT_STREQ(db.WaypointIdent(first[0]), "AAA");
    EXPECT_STREQ(db.WaypointIdent(first[1]), "BBB");
    const auto& second = db.GetAirway(2)->points;
    ASSERT_EQ(second.size(), 2u);
    EXPECT_EQ(second[1], db.FindWaypoints("DUP").first + 1);  // the DUP row at the line's position
    EXPECT_EQ(db.GetAirway(3)->points.size(), 1u);           // 0.0011 rad off in longitude adds nothing

    const int32_t ccc = db.FindWaypoints("CCC").first;
    const int32_t aaa = db.FindWaypoints("AAA").first;
    EXPECT_EQ(db.FindAirway("J1"), 0);
    EXPECT_EQ(db.FindAirwayContaining(ccc, "J1"), 2);  // the second run of J1
    EXPECT_EQ(db.FindAirwayContaining(aaa, "J2"), -1);  // though J2 exists
    EXPECT_EQ(db.FindAirwayContaining(aaa, "J9"), -1);
    EXPECT_TRUE(db.AirwayContains(0, aaa));
    EXPECT_FALSE(db.AirwayContains(1, aaa));
    EXPECT_FALSE(db.AirwayContains(-1, aaa));
    EXPECT_FALSE(db.AirwayContains(4, aaa));
    EXPECT_EQ(db.FindAirway("J3"), -1);
}

// Idents with far more rows than a scan takes (hostile data, or a careless conversion) still give
// every line the first row, in table order, within the tolerance. Fixes lie on a 0.03-degree grid
// in a shuffled file order; the tolerance (0.0573 degrees) takes in the neighbours at 0.03 but never
// those at 0.06, and lines sit on the grid or 0.01 or 0.02 off it, so no difference comes near
// the tolerance and plain arithmetic in degrees gives the expected row.
TEST_F(NavDatabaseTest, CrowdedIdentsMatchTheFirstRowWithinTheTolerance) {
    struct Fix {
        double lat, lon;
    };
    std::vector<Fix> fixes;
    std::string fixText;
    for (int k = 0; k < 400; ++k) {
        const int cell = (k * 167) % 400;  // 167 is prime to 400: every cell once, out of order
        fixes.push_back({10 + 0.03 * (cell % 20), 20 + 0.03 * (cell / 20)});
        fixText += FixLine("CRWD", fixes.back().lat, fixes.back().lon);
    }
    fixText += FixLine("LONE", 10, 20);
    write("wpNavFIX.txt", fixText);

    const double tolDeg = 0.001 * RadToDeg;
    std::string airways;
    std::vector<Fix> expected;
    for (int i = 0; i < 900; ++i) {
        const double lat = 9.95 + 0.01 * (i % 70), lon = 19.97 + 0.01 * ((i * 31) % 70);
        airways += AirwayLine("J1", i % 1000, "CRWD", lat, lon);
        for (const Fix& f : fixes)
            if (std::abs(f.lat - lat) <= tolDeg && std::abs(f.lon - lon) <= tolDeg) {
                expected.push_back(f);
                break;
            }
        if (i % 100 == 0) airways += AirwayLine("J1", i % 1000, "LONE", 10, 20), expected.push_back({10, 20});
    }
    write("wpNavRTE.txt", airways);
    db.Load();
    ASSERT_EQ(db.AirwayCount(), 1);
    const auto& points = db.GetAirway(0)->points;
    ASSERT_EQ(points.size(), expected.size());
    ASSERT_GT(expected.size(), 300u);  // most lines match, the rest fall between the fixes
    for (size_t i = 0; i < points.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_NEAR(db.GetWaypoint(points[i])->lat, Rad(expected[i].lat), 1e-6);
        EXPECT_NEAR(db.GetWaypoint(points[i])->lon, Rad(expected[i].lon), 1e-6);
    }
}

// A second load replaces the first: the same tables as a fresh database given the second data set.
TEST_F(NavDatabaseTest, LoadingAgainReplacesTheFirstLoad) {
    const std::map<std::string, std::string, std::less<>> first = {
        {"fmc_ident.txt", "NavData=1111\nOpProgram=OLD\n"},
        {"wpNavFIX.txt", FixLine("AAA", 10, 10) + FixLine("BBB", 10, 11) + FixLine("CCC", 10, 12)},
        {"wpNavAPT.txt", RunwayLine("OLD FIELD", "KOLD", "09", 5000, 90, 10, 10, 0, 0, 100)},
        {"wpNavRTE.txt", AirwayLine("J1", 1, "AAA", 10, 10) + AirwayLine("J1", 2, "BBB", 10, 11) +
                             AirwayLine("J2", 1, "CCC", 10, 12) + AirwayLine("J3", 1, "AAA", 10, 10)}};
    const std::map<std::string, std::string, std::less<>> second = {
        {"wpNavFIX.txt", FixLine("XXX", 40, 40) + FixLine("YYY", 41, 41)},
        {"wpNavRTE.txt", AirwayLine("V9", 1, "YYY", 41, 41) + AirwayLine("V9", 2, "XXX", 40, 40)}};
    NavDatabase fresh;
    fresh.LoadFromTexts(second);
    db.LoadFromTexts(first);
    ASSERT_EQ(db.AirwayCount(), 3);
    db.LoadFromTexts(second);

    EXPECT_EQ(db.NavDataId(), fresh.NavDataId());
    EXPECT_EQ(db.AirportCount(), 0);
    ASSERT_EQ(db.WaypointCount(), fresh.WaypointCount());
    for (int32_t i = 0; i < db.WaypointCount(); ++i) EXPECT_STREQ(db.WaypointIdent(i), fresh.WaypointIdent(i));
    EXPECT_EQ(db.FindWaypoints("AAA").count, 0);
    ASSERT_EQ(db.AirwayCount(), 1);
    EXPECT_STREQ(db.AirwayName(0), "V9");
    const auto& points = db.GetAirway(0)->points;
    ASSERT_EQ(points.size(), 2u);
    EXPECT_STREQ(db.WaypointIdent(points[0]), "YYY");
    EXPECT_STREQ(db.WaypointIdent(points[1]), "XXX");
}

TEST_F(NavDatabaseTest, MalformedFilesOnDiskLoadWithoutHarm) {
    std::string garbage;
    for (int i = 0; i < 20000; ++i) garbage += static_cast<char>((i * 7919 + i / 13) % 256);
    std::string mixed = "NavData=9\r\n" + std::string(300, 'Q') + "\n" + FixLine("OKAY", 1, 2) + "\n\n" + garbage +
                        AirwayLine("J1", 1, "OKAY", 1, 2) + "J1 002 SHORT\n";
    mixed.pop_back();  // the last line ends without a line feed
    for (const char* file : {"fmc_ident.txt", "wpNavFIX.txt", "wpNavAID.txt", "airports.dat", "wpNavAPT.txt", "wpNavRTE.txt"})
        write(file, mixed);
    EXPECT_EQ(db.Load(), 0);
    EXPECT_EQ(db.NavDataId(), "9");
    EXPECT_GE(db.FindWaypoints("OKAY").count, 1);
    for (int32_t i = 0; i < db.AirwayCount(); ++i)
        for (int32_t point : db.GetAirway(i)->points) EXPECT_NE(db.GetWaypoint(point), nullptr);
    for (int32_t i = 0; i < db.AirportCount(); ++i) EXPECT_FALSE(db.GetAirport(i)->runways.empty());
}

TEST_F(NavDatabaseTest, TextsInMemoryLoadLikeFiles) {
    const std::string fixes = FixLine("AAA", 10, 10) + FixLine("BBB", 10, 11);
    const std::string airways = AirwayLine("J1", 1, "AAA", 10, 10) + AirwayLine("J1", 2, "BBB", 10, 11);
    write("wpNavFIX.txt", fixes);
    write("wpNavRTE.txt", airways);
    db.Load();
    NavDatabase fromTexts;
    fromTexts.LoadFromTexts({{"wpNavFIX.txt", fixes}, {"wpNavRTE.txt", airways}});
    EXPECT_EQ(fromTexts.WaypointCount(), db.WaypointCount());
    ASSERT_EQ(fromTexts.AirwayCount(), 1);
    EXPECT_EQ(fromTexts.GetAirway(0)->points.size(), db.GetAirway(0)->points.size());
    EXPECT_EQ(fromTexts.NavDataId(), "");  // no identification text: as a missing file
}

TEST(BundledNavDataTest, LoadsTheWesternUnitedStatesSample) {
    NavDatabase db;
    db.LoadFrom(std::filesystem::path(HALVEX_SOURCE_DIR) / "data/FMCWP/NavData");
    EXPECT_EQ(db.NavDataId(), "1310");
    EXPECT_EQ(db.OpProgramId(), "2013.10");
    EXPECT_EQ(db.WaypointCount(), 13529);  // the counts its README gives
    EXPECT_EQ(db.AirportCount(), 1252);
    size_t runways = 0, points = 0;
    for (const NavAirport& a : db.Airports()) runways += a.runways.size();
    for (const NavAirway& a : db.Airways()) points += a.points.size();
    EXPECT_EQ(runways, 3255u);
    EXPECT_EQ(db.AirwayCount(), 310);
    EXPECT_EQ(points, 3064u);  // every airway point finds its waypoint
    const WaypointRun sea = db.FindWaypoints("SEA");
    ASSERT_EQ(sea.count, 1);
    EXPECT_EQ(db.GetWaypoint(sea.first)->kind, WaypointKind::VorDme);
    EXPECT_NEAR(db.GetWaypoint(sea.first)->lat * RadToDeg, 47.435, 0.01);
    for (int32_t i = 1; i < db.WaypointCount(); ++i)
        ASSERT_LE(db.GetWaypoint(i - 1)->Ident(), db.GetWaypoint(i)->Ident()) << i;
}

}  // namespace
}  // namespace halvex
