// The bundled CDU pages driven key by key, as a pilot would, on the bundled simulator folder:
// a route from KSEA runway 16L by a SID, a jet airway and an ILS with its transition into KPDX,
// executed and read back on the LEGS pages.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "gauge/StandardCore.h"
#include "support/CduRows.h"

namespace halvex {
namespace {

// Key names as on the command line of `halvex-fms cdu`.
int32_t KeyCode(const std::string& name) {
    if (name.size() == 1) return name[0];
    if (name == "SP") return 32;
    const int n = std::stoi(name.substr(1));
    switch (name[0]) {
    case 'L': return -29 - n;
    case 'R': return -49 - n;
    case 'F': return -9 - n;
    case 'K': return -n;
    }
    ADD_FAILURE() << "bad key " << name;
    return 0;
}

class CduPagesTest : public ::testing::Test {
protected:
    void SetUp() override {
        previous_ = std::filesystem::current_path();
        std::filesystem::current_path(std::string(HALVEX_SOURCE_DIR) + "/data");
        core_ = MakeStandardCore();
    }
    void TearDown() override {
        core_.reset();
        std::filesystem::current_path(previous_);
    }

    // Blank-separated keys; a word of several letters or digits is typed letter by letter.
    void keys(const std::string& words) {
        std::istringstream in(words);
        for (std::string w; in >> w;) {
            const bool special = w.size() > 1 && (w[0] == 'L' || w[0] == 'R' || w[0] == 'F' || w[0] == 'K') &&
                                 std::isdigit(static_cast<unsigned char>(w[1])) && w.size() <= 3 && w != "SP";
            if (special || w == "SP") {
                core_->Cdu()->PushKey(KeyCode(w));
            } else {
                for (char c : w) core_->Cdu()->PushKey(c);
            }
            for (int i = 0; i < 100 && core_->Cdu()->KeyCount() > 0; ++i) cycle();
        }
        cycle();
    }
    // Types text into the scratchpad (no line-select key).
    void type(const std::string& text) {
        for (char c : text) core_->Cdu()->PushKey(c);
        for (int i = 0; i < 100 && core_->Cdu()->KeyCount() > 0; ++i) cycle();
    }
    void cycle() {
        core_->Update();
        core_->RunCduCycle();
    }

    std::string row(int r) const { return test::CduRow(core_->Cdu()->Grid(), r); }
    std::string screen() const { return test::CduScreen(core_->Cdu()->Grid()); }
    bool shows(const std::string& text) const { return screen().find(text) != std::string::npos; }
    // The line-select key beside the data row that holds text on the given side.
    std::string keyFor(const std::string& text, char side) const {
        for (int line = 0; line < 5; ++line) {
            const std::string r = row(2 + 2 * line);
            const size_t at = r.find(text);
            if (at == std::string::npos) continue;
            if ((side == 'L' && at < 12) || (side == 'R' && at + text.size() > 12))
                return std::string(1, side) + std::to_string(line + 1);
        }
        ADD_FAILURE() << "no " << text << " on the " << side << " side of\n" << screen();
        return "K4";
    }
    // Pages forward until text shows; false after a full round.
    bool pageTo(const std::string& text) {
        for (int i = 0; i < 8 && !shows(text); ++i) keys("F9");
        return shows(text);
    }

    std::filesystem::path previous_;
    std::unique_ptr<FmsCore> core_;
};

TEST_F(CduPagesTest, RouteFromRunwayToApproachIsBuiltExecutedAndShown) {
    keys("F2");
    ASSERT_TRUE(shows("ACT RTE")) << screen();
    type("KSEA");
    keys("L1");
    type("KPDX");
    keys("R1");
    type("16L");
    keys("L2");
    EXPECT_NE(row(2).find("KSEA"), std::string::npos) << screen();
    EXPECT_NE(row(2).find("KPDX"), std::string::npos) << screen();
    EXPECT_NE(row(4).find("16L"), std::string::npos) << screen();
    EXPECT_TRUE(shows("MOD RTE")) << screen();

    // Departure: runway already chosen, so only its SIDs; then the SID's transitions.
    keys("F3 L1");
    ASSERT_TRUE(shows("KSEA DEPARTURES")) << screen();
    EXPECT_TRUE(shows("<SEL> 16L")) << screen();
    keys(keyFor("SEA7", 'L'));
    EXPECT_TRUE(shows("SEA7 <SEL>")) << screen();
    EXPECT_FALSE(shows("HAROB4")) << screen();
    keys(keyFor("OLM", 'L'));
    EXPECT_TRUE(shows("OLM <SEL>")) << screen();

    // Route: SEA direct, then J1 to BTG.
    keys("F2 F9");
    ASSERT_TRUE(shows("VIA")) << screen();
    type("SEA");
    keys("R1");
    type("J1");
    keys("L2");
    EXPECT_NE(row(4).find("J1"), std::string::npos) << screen();
    type("BTG");
    keys("R2");
    EXPECT_NE(row(2).find("DIRECT"), std::string::npos) << screen();
    EXPECT_NE(row(2).find("SEA"), std::string::npos) << screen();
    EXPECT_NE(row(4).find("J1"), std::string::npos) << screen();
    EXPECT_NE(row(4).find("BTG"), std::string::npos) << screen();
    EXPECT_EQ(row(14).find("INVALID"), std::string::npos) << screen();

    // Arrival: runway, then its approaches, then the approach's transitions.
    keys("F3 R1");
    ASSERT_TRUE(shows("KPDX ARRIVALS")) << screen();
    ASSERT_TRUE(pageTo("10L")) << screen();
    keys(keyFor("10L", 'R'));
    EXPECT_TRUE(shows("<SEL> 10L")) << screen();
    keys(keyFor("ILS10L", 'R'));
    EXPECT_TRUE(shows("<SEL> ILS10L")) << screen();
    keys(keyFor("BTG", 'R'));
    EXPECT_TRUE(shows("<SEL> BTG")) << screen();
    EXPECT_EQ(row(14).find("NOT AVAILABLE"), std::string::npos) << screen();

    // Execute and read the active legs.
    keys("F4");
    EXPECT_TRUE(shows("MOD LEGS")) << screen();
    EXPECT_TRUE(shows("EXEC")) << screen();
    keys("F10");
    ASSERT_TRUE(shows("ACT LEGS")) << screen();
    EXPECT_NE(row(2).find("KSEA"), std::string::npos) << screen();
    EXPECT_NE(row(4).find("RWY16L"), std::string::npos) << screen();
    std::string all;
    for (int page = 0; page < 4; ++page) {
        all += screen();
        keys("F9");
    }
    for (const char* name : {"SEA", "OLM", "ALDER", "BTG", "BUXOM", "LEVEE", "BLAZR", "RWY10L", "KPDX"})
        EXPECT_NE(all.find(name), std::string::npos) << name << "\n" << all;
    EXPECT_NE(all.find("4000A"), std::string::npos) << all;  // BUXOM AT OR ABOVE 4000
    EXPECT_EQ(all.find("BTG  \n"), all.rfind("BTG  \n")) << all;  // the airway's BTG joins the transition once
}

TEST_F(CduPagesTest, LegsPageEditsAltitudeInsertsDeletesAndFliesDirect) {
    keys("F2");
    type("KSEA");
    keys("L1");
    type("KPDX");
    keys("R1 F4");
    ASSERT_TRUE(shows("MOD LEGS")) << screen();
    ASSERT_NE(row(2).find("KSEA"), std::string::npos) << screen();
    ASSERT_NE(row(4).find("KPDX"), std::string::npos) << screen();

    type("OLM");
    keys("L2");  // in front of KPDX
    EXPECT_NE(row(4).find("OLM"), std::string::npos) << screen();
    EXPECT_NE(row(6).find("KPDX"), std::string::npos) << screen();
    EXPECT_NE(row(3).find("NM"), std::string::npos) << screen();  // course and distance above OLM's leg

    type("12000");
    keys("R2");
    EXPECT_NE(row(4).find("12000"), std::string::npos) << screen();
    type("123456");
    keys("R2");
    EXPECT_NE(row(14).find("INVALID"), std::string::npos) << screen();
    EXPECT_NE(row(4).find("12000"), std::string::npos) << screen();
    keys("K3");  // CLR takes the message away and shows the refused text again
    EXPECT_NE(row(14).find("123456"), std::string::npos) << screen();
    keys("K3 K3 K3 K3 K3 K3");  // then the text, one character at a time
    EXPECT_EQ(row(14), std::string(24, ' ')) << screen();

    type("BTG");
    keys("L3");
    EXPECT_NE(row(6).find("BTG"), std::string::npos) << screen();
    keys("K2 L3");  // DELETE onto BTG
    EXPECT_EQ(screen().find("BTG"), std::string::npos) << screen();

    keys("L3");  // an empty scratchpad copies the name
    EXPECT_NE(row(14).find("KPDX"), std::string::npos) << screen();
    keys("L3");  // the line's own name: direct to it
    EXPECT_NE(row(2).find("(DC)"), std::string::npos) << screen();
    EXPECT_NE(row(4).find("KPDX"), std::string::npos) << screen();

    keys("L6");  // erase the modification
    EXPECT_TRUE(shows("ACT LEGS")) << screen();
    EXPECT_EQ(screen().find("KPDX"), std::string::npos) << screen();
}

TEST_F(CduPagesTest, StarBeforeApproachIsRefusedOnTheArrivalPage) {
    keys("F2");
    type("KSEA");
    keys("L1");
    type("KPDX");
    keys("R1 F3 R1");
    ASSERT_TRUE(shows("HHOOD3")) << screen();
    keys(keyFor("HHOOD3", 'L'));
    EXPECT_NE(row(14).find("NOT AVAILABLE"), std::string::npos) << screen();
    EXPECT_FALSE(shows("HHOOD3 <SEL>")) << screen();
}

}  // namespace
}  // namespace halvex
