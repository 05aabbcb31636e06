// The listing of a real sample airport, checked against values read straight from the bundled
// procedure file and navigation data text (not through the database).
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "navdb/NavDatabase.h"
#include "procedures/LoadProcedures.h"
#include "procedures/ProcedureListing.h"
#include "support/TempTree.h"

namespace halvex {
namespace {

const std::string kData = std::string(HALVEX_SOURCE_DIR) + "/data/";

std::vector<std::string> fileLines(const std::string& path) {
    std::ifstream in(path);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

struct LatLon {
    double lat = 0, lon = 0;
};

// The fix's position as wpNavFIX.txt writes it (ident, then latitude at column 29, longitude at 39).
LatLon fixFromText(const std::string& ident) {
    for (const std::string& line : fileLines(kData + "FMCWP/NavData/wpNavFIX.txt"))
        if (line.compare(0, ident.size() + 1, ident + " ") == 0)
            return {std::stod(line.substr(29, 10)), std::stod(line.substr(39, 10))};
    ADD_FAILURE() << "no fix " << ident;
    return {};
}

// The runway threshold as wpNavAPT.txt writes it (latitude at column 39, longitude at 49).
LatLon runwayFromText(const std::string& icao, const std::string& runway) {
    for (const std::string& line : fileLines(kData + "FMCWP/NavData/wpNavAPT.txt"))
        if (line.size() > 60 && line.compare(24, 4, icao) == 0 && line.compare(28, 3, runway) == 0)
            return {std::stod(line.substr(39, 10)), std::stod(line.substr(49, 11))};
    ADD_FAILURE() << "no runway " << runway;
    return {};
}

class SampleListing : public ::testing::Test {
protected:
    void SetUp() override {
        tree_.copyFromSource("data/FMCWP", "FMCWP");
        tree_.copyFromSource("data/PMDG", "PMDG");
        db_.Load();
        listing_ = ProcedureListing(LoadProcedures(db_, block_, "KSFO"), block_, db_);
        std::istringstream in(listing_);
        for (std::string line; std::getline(in, line);) lines_.push_back(line);
    }

    // Index of the first line equal to text at or after from; fails the test when absent.
    size_t find(const std::string& text, size_t from = 0) const {
        for (size_t i = from; i < lines_.size(); ++i)
            if (lines_[i] == text) return i;
        ADD_FAILURE() << "missing line: " << text;
        return lines_.size();
    }

    // Checks "    NAME kind altKind altitude fixIndex lat lon" against expected values.
    void expectLeg(size_t at, const std::string& name, int kind, int altitudeKind, const std::string& altitude,
                   LatLon where, bool databaseFix) const {
        ASSERT_LT(at, lines_.size());
        std::istringstream in(lines_[at]);
        std::string legName, alt;
        int legKind = 0, legAltKind = 0, fixIndex = 0;
        double lat = 0, lon = 0;
        in >> legName >> legKind >> legAltKind >> alt >> fixIndex >> lat >> lon;
        EXPECT_EQ(lines_[at].substr(0, 4), "    ");
        EXPECT_EQ(legName, name);
        EXPECT_EQ(legKind, kind);
        EXPECT_EQ(legAltKind, altitudeKind);
        EXPECT_EQ(alt, altitude);
        EXPECT_NEAR(lat, where.lat, 0.00011) << lines_[at];
        EXPECT_NEAR(lon, where.lon, 0.00011) << lines_[at];
        if (databaseFix) {
            ASSERT_GE(fixIndex, 0);
            EXPECT_EQ(std::string(db_.WaypointIdent(fixIndex)), name);
        } else {
            EXPECT_EQ(fixIndex, -1);
        }
    }

    test::TempTree tree_;
    NavDatabase db_;
    ProcedureBlock block_;
    std::string listing_;
    std::vector<std::string> lines_;
};

TEST_F(SampleListing, HeaderFixesAndCounts) {
    ASSERT_GE(lines_.size(), 6u);
    EXPECT_EQ(lines_[0], "LOAD 0");
    EXPECT_EQ(lines_[1], "AIRPORT KSFO");
    EXPECT_EQ(lines_[2], "FIXES 2");
    EXPECT_EQ(lines_[3], "FIX FF01R 37.5333 -122.4300");  // N 37 32.0 W 122 25.8
    EXPECT_EQ(lines_[4], "FIX CF01R geom");
    EXPECT_EQ(lines_[5], "SIDS 3");
    find("STARS 3");
    find("APPROACHES 5");
    EXPECT_EQ(lines_.back(), "END");
    for (const std::string& line : lines_) EXPECT_NE(line.back(), ' ') << line;
}

TEST_F(SampleListing, SidRunwayPartsCommonPartAndTransitions) {
    const size_t sid = find("PROC SID 0 PORTE3 1");
    EXPECT_EQ(lines_[sid + 1], "RUNWAYS 4 28L 28R 01L 01R");
    EXPECT_EQ(lines_[sid + 2], "RUNWAYPARTS 4");
    // RNW 28L TRK 284 UNTIL 1100 HDG 250 INTERCEPT ... FIX PORTE AT OR ABOVE 7000: the junction
    // with the common part (PORTE) is listed once.
    EXPECT_EQ(lines_[sid + 3], "PART - 4");
    expectLeg(sid + 4, "RWY28L", 5, 0, "13", runwayFromText("KSFO", "28L"), false);
    EXPECT_EQ(lines_[sid + 5], "    (INTC) 5 0 -1 -1 geom");
    EXPECT_EQ(lines_[sid + 6], "    (INTC) 5 0 -1 -1 geom");
    expectLeg(sid + 7, "PORTE", 5, 2, "7000", fixFromText("PORTE"), true);
    const size_t common = find("COMMONPARTS 1", sid);
    EXPECT_EQ(lines_[common + 1], "PART - 1");
    expectLeg(common + 2, "PORTE", 5, 2, "7000", fixFromText("PORTE"), true);
    EXPECT_EQ(lines_[common + 3], "TRANSITIONS 3");
    EXPECT_EQ(lines_[common + 4], "PART BSR 2");
    expectLeg(common + 5, "PORTE", 6, 0, "-1", fixFromText("PORTE"), true);
}

TEST_F(SampleListing, StarsEndAtTheirHold) {
    const size_t star = find("PROC STAR 2 PYE4 2");
    EXPECT_EQ(lines_[star + 1], "RUNWAYS 0");
    EXPECT_EQ(lines_[star + 2], "RUNWAYPARTS 0");
    EXPECT_EQ(lines_[star + 3], "COMMONPARTS 1");
    EXPECT_EQ(lines_[star + 4], "PART - 3");  // PYE, LOZIT, COMMO; the HOLD makes nothing
    expectLeg(star + 6, "LOZIT", 7, 0, "8000", fixFromText("LOZIT"), true);
    expectLeg(star + 7, "COMMO", 7, 0, "6000", fixFromText("COMMO"), true);
    EXPECT_EQ(lines_[star + 8], "TRANSITIONS 2");
}

TEST_F(SampleListing, ApproachesStopAtTheRunway) {
    const size_t approach = find("PROC APPROACH 0 ILS28L 2");
    EXPECT_EQ(lines_[approach + 1], "RUNWAYS 1 28L");
    EXPECT_EQ(lines_[approach + 3], "PART - 5");  // DUMBA ROKME CEPIN AXMUL RWY28L, no missed approach
    expectLeg(approach + 4, "DUMBA", 9, 2, "6000", fixFromText("DUMBA"), true);
    expectLeg(approach + 7, "AXMUL", 9, 0, "1800", fixFromText("AXMUL"), true);
    expectLeg(approach + 8, "RWY28L", 9, 0, "13", runwayFromText("KSFO", "28L"), false);
    EXPECT_EQ(lines_[approach + 9], "COMMONPARTS 0");
    const size_t rnav = find("PROC APPROACH 4 RNAV01R 2");
    EXPECT_EQ(lines_[rnav + 3], "PART - 3");
    expectLeg(rnav + 5, "FF01R", 9, 0, "1800", {37.0 + 32.0 / 60.0, -(122.0 + 25.8 / 60.0)}, false);
}

// Every name a bundled file's legs use, read from the file's words, exists in the navigation
// data text or among the file's own fix definitions, and every runway is one of the airport's.
TEST_F(SampleListing, EveryBundledFileNamesOnlyKnownFixesAndRunways) {
    std::set<std::string> known;
    for (const std::string& line : fileLines(kData + "FMCWP/NavData/wpNavFIX.txt"))
        if (!line.empty() && line[0] != ';') known.insert(line.substr(0, line.find(' ')));
    for (const std::string& line : fileLines(kData + "FMCWP/NavData/wpNavAID.txt"))
        if (line.size() > 29 && line[0] != ';') known.insert(line.substr(24, line.find(' ', 24) - 24));
    size_t files = 0;
    for (const auto& entry : std::filesystem::directory_iterator("PMDG/SIDSTARS")) {
        if (entry.path().extension() != ".txt") continue;
        ++files;
        const std::string icao = entry.path().stem().string();
        std::set<std::string> runways, local;
        for (const std::string& line : fileLines(kData + "FMCWP/NavData/wpNavAPT.txt"))
            if (line.size() > 31 && line.compare(24, 4, icao) == 0) {
                std::string ident = line.substr(28, 3);
                while (!ident.empty() && ident.back() == ' ') ident.pop_back();
                runways.insert(ident);
            }
        std::vector<std::vector<std::string>> statements;
        for (const std::string& line : fileLines(entry.path().string())) {
            std::istringstream in(line);
            std::vector<std::string> words;
            for (std::string w; in >> w && w.rfind("//", 0) != 0;) words.push_back(w);
            for (size_t i = 0; i + 2 < words.size(); ++i)
                if ((words[i] == "FIX" || words[i] == "NAVAID") && (words[i + 2] == "LATLON" || words[i + 2] == "COLOCATED"))
                    local.insert(words[i + 1]);
            statements.push_back(words);
        }
        for (const auto& words : statements)
            for (size_t i = 0; i + 1 < words.size(); ++i) {
                if (words[i] == "HOLD") break;
                if (words[i] == "RNW") {
                    EXPECT_TRUE(runways.count(words[i + 1])) << icao << " RNW " << words[i + 1];
                }
                if (words[i] != "FIX" && words[i] != "NAVAID") continue;
                const std::string& name = words[i + 1] == "OVERFLY" && i + 2 < words.size() ? words[i + 2] : words[i + 1];
                EXPECT_TRUE(known.count(name) || local.count(name)) << icao << " " << name;
            }
        ProcedureBlock block;
        ASSERT_EQ(LoadProcedures(db_, block, icao), 0) << icao;
        EXPECT_FALSE(block.sids.empty()) << icao;
        EXPECT_FALSE(block.stars.empty()) << icao;
        EXPECT_FALSE(block.approaches.empty()) << icao;
    }
    EXPECT_GE(files, 19u);
}

}  // namespace
}  // namespace halvex
