// The six readers: columns, skip rules, lenient numbers, kinds, and the two line mends.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <random>

#include "NavDataLines.h"
#include "navdb/NavDataReaders.h"

namespace halvex {
namespace {

using test::AidLine;
using test::AirportPointLine;
using test::FixLine;

float Rad(double deg) { return static_cast<float>(deg / RadToDeg); }

std::vector<NavWaypoint> Fixes(const std::string& text) {
    std::vector<NavWaypoint> rows;
    ReadFixFile(text, rows);
    return rows;
}

TEST(FixReaderTest, ReadsIdentAndPositionFromTheirColumns) {
    const auto rows = Fixes("; comment line\n" + FixLine("BUICK", 48.81, -123.135) + FixLine("AB", -1.5, 2.25));
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].Ident(), "BUICK");
    EXPECT_FLOAT_EQ(rows[0].lat, Rad(48.81));
    EXPECT_FLOAT_EQ(rows[0].lon, Rad(-123.135));
    EXPECT_FLOAT_EQ(rows[0].radius, EarthRadiusNm);
    EXPECT_EQ(rows[0].kind, WaypointKind::Fix);
    EXPECT_EQ(rows[1].Ident(), "AB");  // before the first blank
    EXPECT_FLOAT_EQ(rows[1].lat, Rad(-1.5));
}

TEST(FixReaderTest, LongIdentsAreCutAndBadNumbersReadAsZero) {
    std::string longIdent = FixLine("X", 10, 20);
    longIdent.replace(0, 7, "ABCDEFG");
    std::string garbage = FixLine("JUNK", 0, 0);
    garbage.replace(29, 20, "  north!!  ---------");
    const auto rows = Fixes(longIdent + garbage);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].Ident(), "ABCDE");
    EXPECT_EQ(rows[1].lat, 0.0f);
    EXPECT_EQ(rows[1].lon, 0.0f);
}

TEST(FixReaderTest, SkipsCommentsBlanksShortAndTruncatedLines) {
    const std::string text = std::string("X\n") + "\n" + " " + FixLine("LEAD", 1, 1) + ";" + FixLine("SEMI", 1, 1) +
                             "\xff" + FixLine("FFFF", 1, 1) + "TRUNC                         12.5\n" +
                             FixLine("GOOD", 3, 4);
    const auto rows = Fixes(text);
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].Ident(), "GOOD");
}

TEST(LineRulesTest, CarriageReturnsAreNotPartOfTheLine) {
    std::string crlf = AirportPointLine("KSEA", 47.449, -122.30931);
    crlf.insert(crlf.size() - 1, "\r");
    std::vector<NavWaypoint> rows;
    ReadAirportPointFile(crlf + crlf, rows);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_FLOAT_EQ(rows[1].lon, Rad(-122.30931));

    DataSetIdent ident;
    ReadIdentFile("NavData=2105\r\nOpProgram=X1\r\n", ident);
    EXPECT_EQ(ident.navDataId, "2105");  // no carriage return kept in the value
    EXPECT_EQ(ident.opProgramId, "X1");
}

TEST(LineRulesTest, OverlongLinesAreSkippedAndReadingGoesOn) {
    std::string at198 = FixLine("KEEP1", 1, 1);
    at198.insert(at198.size() - 1, std::string(198 - (at198.size() - 1), ' '));
    ASSERT_EQ(at198.size(), 199u);  // 198 characters and the line feed
    std::string at199 = FixLine("LONG", 1, 1);
    at199.insert(at199.size() - 1, std::string(199 - (at199.size() - 1), ' '));
    std::string huge = FixLine("HUGE", 1, 1);
    huge.insert(huge.size() - 1, std::string(5000, 'x'));
    const auto rows = Fixes(at198 + at199 + huge + FixLine("AFTER", 2, 2));
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].Ident(), "KEEP1");
    EXPECT_EQ(rows[1].Ident(), "AFTER");  // later records are not lost
}

TEST(LineRulesTest, LenientNumbersFollowAtofAndAtoi) {
    EXPECT_EQ(LenientReal("  12.5xyz"), 12.5);
    EXPECT_EQ(LenientReal("+3"), 3.0);
    EXPECT_EQ(LenientReal("-0.25"), -0.25);
    EXPECT_EQ(LenientReal(""), 0.0);
    EXPECT_EQ(LenientReal("abc"), 0.0);
    EXPECT_EQ(LenientReal("1e2"), 100.0);
    EXPECT_EQ(LenientReal("0x10"), 16.0);  // as atof reads it
    EXPECT_EQ(LenientReal("+-5"), 0.0);
    EXPECT_EQ(LenientReal("12.5N"), 12.5);
    EXPECT_EQ(LenientReal("0.1234567890123456789"), 0.1234567890123456789);  // past the fast path
    EXPECT_EQ(LenientReal(" -122.309606"), -122.309606);
    EXPECT_EQ(LenientInteger(" 42abc"), 42);
    EXPECT_EQ(LenientInteger("-7"), -7);
    EXPECT_EQ(LenientInteger("x"), 0);
    EXPECT_EQ(LenientInteger("99999999999"), INT32_MAX);  // saturates instead of overflowing
}

TEST(LineRulesTest, LenientRealAgreesWithStrtodOnDataLikeNumbers) {
    std::mt19937 rng(7);
    std::uniform_real_distribution<double> any(-200, 200);
    const char* formats[] = {"%.6f", "%.5f", "%11.6f", "%.2f", "%.0f", "%.15g", "%.9f"};
    for (int i = 0; i < 20000; ++i) {
        char text[64];
        std::snprintf(text, sizeof text, formats[i % 7], any(rng));
        ASSERT_EQ(LenientReal(text), std::strtod(text, nullptr)) << text;
    }
}

TEST(NavaidReaderTest, TypePatternsGiveKinds) {
    const std::pair<const char*, WaypointKind> cases[] = {
        {"VORD", WaypointKind::VorDme}, {"VORT", WaypointKind::Vor}, {"VOR", WaypointKind::Vor},
        {"NDBD", WaypointKind::Ndb},    {"DME", WaypointKind::Dme},   {"ILSD", WaypointKind::Ils},
        {"ILS", WaypointKind::Ils},     {"TAC", WaypointKind::Fix},   {"VO", WaypointKind::Fix},
        {"", WaypointKind::Fix},
    };
    for (const auto& [type, kind] : cases) EXPECT_EQ(NavaidKind(type), kind) << type;

    std::vector<NavWaypoint> rows;
    ReadNavaidFile(AidLine("SEA", "VORD", 47.435, -122.3096) + AidLine("OLM", "TAC", 46.97, -122.9) +
                       AidLine("IBFI", "ILSD", 47.5, -122.3),
                   rows);
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0].Ident(), "SEA");
    EXPECT_EQ(rows[0].kind, WaypointKind::VorDme);
    EXPECT_FLOAT_EQ(rows[0].lon, Rad(-122.3096));
    EXPECT_EQ(rows[1].kind, WaypointKind::Fix);
    EXPECT_EQ(rows[2].kind, WaypointKind::Ils);
}

TEST(AirportPointReaderTest, EveryLineIsAnAirportRowEvenWhenRepeated) {
    std::vector<NavWaypoint> rows;
    ReadAirportPointFile(AirportPointLine("KSEA", 47.449, -122.309) + AirportPointLine("KSEA", 47.5, -122.3) +
                             AirportPointLine("EGLLX", 51.47, -0.46),
                         rows);
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0].kind, WaypointKind::Airport);
    EXPECT_EQ(rows[1].Ident(), "KSEA");
    EXPECT_EQ(rows[2].Ident(), "EGLL");  // four characters at most
}

TEST(IdentReaderTest, KeysAreExactAndMissingOnesReadUnknown) {
    DataSetIdent ident;
    ReadIdentFile("[Ident]\n;NavData=1\nNavData = 9\nNavData=2105\nOpProgramX=3\n", ident);
    EXPECT_EQ(ident.navDataId, "2105");
    EXPECT_EQ(ident.opProgramId, "UNKNOWN");
    ReadIdentFile("NavData==7==8\nNavData=\nOpProgram=A\nOpProgram=B\n", ident);
    EXPECT_EQ(ident.navDataId, "7");  // empty tokens dropped; a key without a value is ignored
    EXPECT_EQ(ident.opProgramId, "B");  // later lines overwrite
}

TEST(RunwayReaderTest, ColumnsAirportsByIcaoAndSkipRules) {
    using test::RunwayLine;
    AirportTable table;
    const std::string text = RunwayLine("SEATTLE TACOMA INTL", "KSEA", "16L", 11900, 163, 47.463, -122.307, 110.3, 163, 433) +
                             RunwayLine("BOEING FIELD", "KBFI", "13R", 10000, 130, 47.54, -122.31, 0, 0, 21) +
                             "[section]\n" + ";comment\n" + " leading blank\n" + "SHORT LINE KXXX\n" +
                             RunwayLine("ANOTHER NAME", "KSEA", "34R", 11900, 343, 47.43, -122.31, 109.9, 343, 433);
    ReadAirportFile(text, table);
    ASSERT_EQ(table.airports.size(), 2u);
    EXPECT_EQ(table.airports[0].Name(), "SEATTLE TACOMA INTL");  // the first line's name
    EXPECT_EQ(table.airports[0].Icao(), "KSEA");
    ASSERT_EQ(table.runways.size(), 3u);
    EXPECT_EQ(table.runways[2].airport, 0);
    const NavRunway& r = table.runways[0].runway;
    EXPECT_EQ(r.Ident(), "16L");
    EXPECT_EQ(r.length, 11900);
    EXPECT_EQ(r.course, 163);
    EXPECT_FLOAT_EQ(r.lat, Rad(47.463));
    EXPECT_FLOAT_EQ(r.lon, Rad(-122.307));
    EXPECT_FLOAT_EQ(r.ilsFrequency, 110.3f);
    EXPECT_FLOAT_EQ(r.ilsCourse, 163.0f);
    EXPECT_FLOAT_EQ(r.elevation, 433.0f);
    EXPECT_FLOAT_EQ(r.radius, EarthRadiusNm);
}

TEST(AirwayReaderTest, NeedsFiveBlankSeparatedTokens) {
    std::vector<std::string> seen;
    ReadAirwayFile("J1 001 SEA 47.4 -122.3 extra\nJ1  002   BTG   45.7   -122.5\nJ2 001 ONLY 47.0\n;J3 1 A 1 1\n"
                   "J4\t001 TAB 1 1\n",
                   [&](const AirwayLine& l) { seen.push_back(std::string(l.name) + "/" + std::string(l.ident)); });
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[0], "J1/SEA");
    EXPECT_EQ(seen[1], "J1/BTG");  // runs of blanks are one separator; a tab is not one
}

// Binary garbage is read leniently, and never swallows the good line that follows it.
TEST(ReaderRobustnessTest, BinaryGarbageNeverHidesTheNextGoodLine) {
    std::string garbage;
    for (int i = 0; i < 4000; ++i) garbage += static_cast<char>((i * 131 + 7) % 256);
    garbage += "\n";

    std::vector<NavWaypoint> rows;
    ReadFixFile(garbage + FixLine("\xc3\xa9Z", 1, 1) + FixLine(std::string("A\0B", 3), 1, 1), rows);
    ReadNavaidFile(garbage + AidLine("GAR", "VORD", 2, 3), rows);
    ReadAirportPointFile(garbage + AirportPointLine("KGAR", 4, 5), rows);
    for (const NavWaypoint& w : rows) EXPECT_LE(w.Ident().size(), 5u);
    std::vector<std::string> idents;
    for (const NavWaypoint& w : rows) idents.emplace_back(w.Ident());
    const auto has = [&](const std::string& ident) { return std::find(idents.begin(), idents.end(), ident) != idents.end(); };
    EXPECT_TRUE(has("\xc3\xa9Z"));  // bytes kept as they are
    EXPECT_TRUE(has("A"));           // a NUL ends the text
    EXPECT_TRUE(has("GAR"));
    EXPECT_EQ(rows.back().Ident(), "KGAR");  // the airport point line was the last line read
    EXPECT_FLOAT_EQ(rows.back().lat, Rad(4));
    EXPECT_EQ(rows.back().kind, WaypointKind::Airport);

    AirportTable table;
    ReadAirportFile(garbage + test::RunwayLine("GARBAGE FIELD", "KGAR", "09", 7000, 90, 4, 5, 0, 0, 12), table);
    ASSERT_FALSE(table.airports.empty());
    EXPECT_EQ(table.airports.back().Icao(), "KGAR");
    ASSERT_FALSE(table.runways.empty());
    EXPECT_EQ(table.runways.back().runway.Ident(), "09");
    EXPECT_EQ(table.runways.back().runway.length, 7000);

    DataSetIdent ident;
    ReadIdentFile(garbage, ident);
    EXPECT_EQ(ident.navDataId, "UNKNOWN");  // no key in the garbage
    EXPECT_EQ(ident.opProgramId, "UNKNOWN");
    ReadIdentFile(garbage + "NavData=1310\n", ident);
    EXPECT_EQ(ident.navDataId, "1310");

    std::string lastAirway;
    ReadAirwayFile(garbage + "J9 001 GOOD 1.0 2.0\n", [&](const AirwayLine& l) { lastAirway = std::string(l.name) + "/" + std::string(l.ident); });
    EXPECT_EQ(lastAirway, "J9/GOOD");
}

}  // namespace
}  // namespace halvex
