// Bad input on every page: each line-select key with empty, too long, letters-for-digits,
// out-of-range and malformed text, on an empty plan and on an executed one. The pilot sees a
// scratchpad message or nothing; never a script error, never a key handler that failed.
#include "PagesFixture.h"

namespace halvex::test {
namespace {

class HostileInputTest : public PagesFixture {
protected:
    // Every page, by the keys that open it.
    const std::vector<std::string> pages_ = {"F1", "F1 L1", "F1 L2", "F1 L3", "F1 L4", "F1 R2", "K1", "F2", "F2 F9",
                                             "F2 F9 F9", "F3", "F3 L1", "F3 R1", "F4", "F4 F9", "F5", "F6", "F7", "K4"};
    const std::vector<std::string> texts_ = {"",       std::string(24, 'Z'), "ABCDE", "99999", "FL999", "123456", "-",
                                             "/",      "1/2/3",            "A/B",   "SEA/999/999", "+.+", "0", "KSEA/",
                                             "DELETE"};
    const std::vector<std::string> lineKeys_ = {"L1", "L2", "L3", "L4", "L5", "L6", "R1", "R2", "R3", "R4", "R5", "R6"};

    // Tries every text on every key of every page; skip names a page and key left out.
    void tryEverything(const std::string& skipPage, const std::string& skipKey) {
        for (const std::string& page : pages_) {
            for (const std::string& key : lineKeys_) {
                if (page == skipPage && key == skipKey) continue;
                for (const std::string& text : texts_) {
                    keys("F6 " + page);
                    entry(text == "DELETE" ? "" : text);
                    if (text == "DELETE") keys("K2");
                    keys(key);
                    ASSERT_EQ(scriptError(), "") << page << " " << key << " '" << text << "'\n" << screen();
                    ASSERT_EQ(pageFaults(), 0) << page << " " << key << " '" << text << "'\n" << screen();
                }
                keys("F1 F2 L6 F4 L6");  // erase what the keys changed, so the next page starts alike
            }
        }
        keys("F8 F9 F10 K3 K2 K3");  // paging and EXEC with nothing to page or execute
        EXPECT_EQ(scriptError(), "");
    }
};

TEST_F(HostileInputTest, EmptyPlanNoEntryBreaksAPage) {
    tryEverything("", "");
}

TEST_F(HostileInputTest, ExecutedRouteWithGuidanceNoEntryBreaksAPage) {
    build(true);
    g_guidance = {12.3, 140, -0.4, 300, {{433, "EOD", 45.59, -122.6, 20}, {11000, "TOD", 46.9, -122.8, 99}}};
    buildGuideRoute();
    keys("F10 F4");
    ASSERT_EQ(title(), "ACT LEGS") << screen();
    // Saving writes into the bundled tree: the save key stays out of this run.
    tryEverything("F1 L4", "R5");
}

}  // namespace
}  // namespace halvex::test
