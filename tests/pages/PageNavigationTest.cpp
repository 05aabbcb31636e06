// Getting around the CDU: every page opens from every other by its key, and every prompt sits on
// the data row its line-select key faces and leads where it says.
#include <utility>

#include "PagesFixture.h"

namespace halvex::test {
namespace {

using PageNavigationTest = PagesFixture;

// The pages a key opens from anywhere, with the title each shows on an empty plan.
const std::vector<std::pair<std::string, std::string>> kPageKeys = {
    {"F1", "INIT/REF INDEX"}, {"F2", "ACT RTE"}, {"F3", "DEP/ARR INDEX"}, {"F4", "ACT LEGS"}, {"F5", "VNAV"},
    {"F6", "PROG"},           {"F7", "NAV DATA"}, {"K4", "ACT DIR INTC"}, {"K1", "AP MODES"}};

// The INIT/REF pages, as the index reaches them.
const std::vector<std::pair<std::string, std::string>> kIndexKeys = {
    {"L1", "IDENT"}, {"L2", "POS INIT"}, {"L3", "PERF INIT"}, {"L4", "ROUTE"},
    {"R1", "NAV DATA"}, {"R2", "STATUS"}, {"R3", "AP MODES"}};

TEST_F(PageNavigationTest, EveryPageOpensFromEveryOtherByItsKey) {
    for (const auto& [fromKey, fromTitle] : kPageKeys) {
        for (const auto& [toKey, toTitle] : kPageKeys) {
            keys(fromKey);
            ASSERT_EQ(title(), fromTitle) << screen();
            keys(toKey);
            EXPECT_EQ(title(), toTitle) << "from " << fromTitle << " by " << toKey << "\n" << screen();
        }
    }
    // The INIT/REF pages open from the index, and each of them reaches every function-key page.
    for (const auto& [indexKey, pageTitle] : kIndexKeys) {
        keys("F1 " + indexKey);
        ASSERT_EQ(title(), pageTitle) << screen();
        for (const auto& [toKey, toTitle] : kPageKeys) {
            keys("F1 " + indexKey + " " + toKey);
            EXPECT_EQ(title(), toTitle) << "from " << pageTitle << " by " << toKey << "\n" << screen();
        }
    }
    EXPECT_EQ(scriptError(), "");
}

TEST_F(PageNavigationTest, TheInitRefPagesChainAndReturnToTheIndex) {
    keys("F1 L1");
    ASSERT_EQ(title(), "IDENT");
    keys("R6");
    EXPECT_EQ(title(), "POS INIT") << screen();
    keys("R6");
    EXPECT_EQ(title(), "PERF INIT") << screen();
    keys("L6");
    EXPECT_EQ(title(), "INIT/REF INDEX") << screen();
    keys("R2 R6");
    EXPECT_EQ(title(), "IDENT") << screen();  // STATUS leads back to IDENT
    keys("F1 L4 L6");
    EXPECT_EQ(title(), "INIT/REF INDEX") << screen();  // company routes return too
}

// Prompts ("<TEXT" at the left edge, "TEXT>" at the right) on the rows the keys face (2 to 12),
// labels on the odd rows above them; every prompt's key does what the prompt says.
TEST_F(PageNavigationTest, PromptsSitOnTheRowsTheirKeysFace) {
    const std::vector<std::string> pages = {"F1", "F1 L1", "F1 L2", "F1 L3", "F1 L4", "F1 R2", "K1", "F2", "F3",
                                            "F3 L1", "F3 R1", "F4", "F5", "F6", "F7", "K4"};
    for (const std::string& path : pages) {
        keys(path);
        for (int r = 0; r < 15; ++r) {
            const std::string text = row(r);
            const bool prompt = text[0] == '<' || text[23] == '>';
            if (!prompt) continue;
            EXPECT_TRUE(r >= 2 && r <= 12 && r % 2 == 0) << path << ": prompt on row " << r << "\n" << screen();
            EXPECT_EQ(colourAt(r, text[0] == '<' ? 0 : 23), 7) << path << " row " << r;
        }
    }
    const std::vector<std::tuple<std::string, std::string, std::string>> prompts = {
        {"F1", "<IDENT", "IDENT"}, {"F1", "<POS", "POS INIT"}, {"F1", "<PERF", "PERF INIT"}, {"F1", "<ROUTE", "ROUTE"},
        {"F1", "NAV DATA>", "NAV DATA"}, {"F1", "STATUS>", "STATUS"}, {"F1", "AP MODES>", "AP MODES"},
        {"F1 L1", "<INDEX", "INIT/REF INDEX"}, {"F1 L1", "POS INIT>", "POS INIT"}, {"F1 L2", "PERF INIT>", "PERF INIT"},
        {"F1 R2", "IDENT>", "IDENT"}, {"F2", "DEP ARR>", "DEP/ARR INDEX"}, {"F3", "<DEP", " DEPARTURES"},
        {"F3", "ARR>", " ARRIVALS"}, {"F3 L1", "<INDEX", "DEP/ARR INDEX"}, {"F3 L1", "ROUTE>", "ACT RTE"}};
    for (const auto& [path, prompt, opens] : prompts) {
        keys(path);
        const bool left = prompt[0] == '<';
        std::string key;
        for (int line = 1; line <= 6; ++line) {
            const std::string r = row(2 * line);
            if ((left && r.rfind(prompt, 0) == 0) || (!left && r.size() >= prompt.size() && r.substr(24 - prompt.size()) == prompt))
                key = (left ? "L" : "R") + std::to_string(line);
        }
        ASSERT_FALSE(key.empty()) << path << ": no " << prompt << "\n" << screen();
        keys(key);
        EXPECT_NE(row(0).find(opens), std::string::npos) << path << " " << prompt << " by " << key << "\n" << screen();
    }
}

TEST_F(PageNavigationTest, ApModesSetTheModesThePanelSets) {
    keys("K1 L2");  // lateral mode 1
    EXPECT_EQ(core_->ApModes()->LateralMode(), 1);
    EXPECT_NE(row(4).find("1 LNAV ACT"), std::string::npos) << screen();
    EXPECT_EQ(colourAt(4, 1), 1) << screen();  // the active mode in green
    keys("R1");  // vertical mode 1
    EXPECT_EQ(core_->ApModes()->VerticalMode(), 1);
    EXPECT_NE(row(2).find("ACT 1 VNAV"), std::string::npos) << screen();
    keys("R6");  // vertical 6 brings lateral 4 with it
    EXPECT_EQ(core_->ApModes()->VerticalMode(), 6);
    EXPECT_EQ(core_->ApModes()->LateralMode(), 4);
    EXPECT_NE(row(10).find("4 APP ACT"), std::string::npos) << screen();
    keys("L6 L1");
    EXPECT_EQ(core_->ApModes()->VerticalMode(), 0);
    EXPECT_EQ(core_->ApModes()->LateralMode(), 0);
    EXPECT_NE(row(12).find("0 OFF ACT"), std::string::npos) << screen();
}

}  // namespace
}  // namespace halvex::test
