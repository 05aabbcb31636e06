// The CDU as a pilot uses it on the panel: every key clicked by pixel on the face, the result read
// from the screen text and from the composed panel picture.
#include <algorithm>
#include <cmath>
#include <set>
#include <utility>
#include <vector>

#include "PanelFixture.h"

namespace halvex::panel {
namespace {

// The screen window on the CDU face (the CDU sits at the panel's origin, unscaled).
constexpr int kScreenLeft = 72, kScreenTop = 51, kScreenWidth = 360, kScreenHeight = 256;
constexpr int kCellWidth = kScreenWidth / 24;

class CduByClick : public PanelFixture {
protected:
    void SetUp() override {
        PanelFixture::SetUp();
        if (HasFatalFailure()) return;
        panel->Connect();
        settle();
    }

    std::string title() {
        std::string t = screenRow(0);
        const size_t first = t.find_first_not_of(' ');
        if (first == std::string::npos) return "";
        t = t.substr(first, t.find_last_not_of(' ') - first + 1);
        // "ACT LEGS     1/3": the page number is not part of the title.
        if (const size_t gap = t.find("  "); gap != std::string::npos) t = t.substr(0, gap);
        return t;
    }
    std::string scratchpad() {
        const std::string r = screenRow(14);
        return r.substr(0, r.find_last_not_of(' ') + 1);
    }

    // A copy of the composed panel as it stands.
    std::vector<uint32_t> snapshot() {
        cairo_surface_t* s = panel->Picture();
        cairo_surface_flush(s);
        std::vector<uint32_t> copy;
        for (int y = 0; y < kScreenTop + kScreenHeight; ++y)
            for (int x = 0; x < kScreenLeft + kScreenWidth; ++x) copy.push_back(pixel(s, x, y));
        return copy;
    }
    static uint32_t at(const std::vector<uint32_t>& picture, int x, int y) {
        return picture[static_cast<size_t>(y * (kScreenLeft + kScreenWidth) + x)];
    }
    static bool ink(uint32_t argb) { return (argb & 0xFFFFFFu) != 0; }

    // The picture rows of the screen between columns [x0, x1) where before and after differ.
    static std::set<int> changedRows(const std::vector<uint32_t>& before, const std::vector<uint32_t>& after, int x0, int x1) {
        std::set<int> rows;
        for (int y = kScreenTop; y < kScreenTop + kScreenHeight; ++y)
            for (int x = x0; x < x1; ++x)
                if (at(before, x, y) != at(after, x, y)) rows.insert(y);
        return rows;
    }
    // Vertical runs of the screen with ink between columns [x0, x1), as [first, last] rows.
    static std::vector<std::pair<int, int>> inkBands(const std::vector<uint32_t>& picture, int x0, int x1) {
        std::vector<std::pair<int, int>> bands;
        for (int y = kScreenTop; y < kScreenTop + kScreenHeight; ++y) {
            bool any = false;
            for (int x = x0; x < x1 && !any; ++x) any = ink(at(picture, x, y));
            if (!any) continue;
            if (!bands.empty() && bands.back().second == y - 1) bands.back().second = y;
            else bands.emplace_back(y, y);
        }
        return bands;
    }
    static double centre(const gauge::CduKey& key) { return key.y + key.height / 2.0; }
};

using CduKeyName = std::pair<std::string, std::string>;

// Pages a key opens from anywhere, with the title each shows on an empty plan.
const std::vector<CduKeyName> kPageKeys = {{"F1", "INIT/REF INDEX"}, {"F2", "ACT RTE"}, {"F3", "DEP/ARR INDEX"},
                                           {"F4", "ACT LEGS"},       {"F5", "VNAV"},    {"F6", "PROG"},
                                           {"F7", "NAV DATA"},       {"K4", "ACT DIR INTC"}, {"K1", "AP MODES"}};

TEST_F(CduByClick, EveryPageOpensFromEveryOtherOnTheNextFrame) {
    for (const auto& [fromKey, fromTitle] : kPageKeys) {
        for (const auto& [toKey, toTitle] : kPageKeys) {
            clickKeys(fromKey);
            ASSERT_EQ(title(), fromTitle) << panel->CduScreen();
            clickKeys(toKey);
            EXPECT_EQ(title(), toTitle) << "from " << fromTitle << " by " << toKey << "\n" << panel->CduScreen();
        }
    }
    // The index's pages, by their line keys.
    const std::vector<CduKeyName> indexKeys = {{"L1", "IDENT"},    {"L2", "POS INIT"}, {"L3", "PERF INIT"},
                                               {"L4", "ROUTE"},    {"R1", "NAV DATA"}, {"R2", "STATUS"},
                                               {"R3", "AP MODES"}};
    for (const auto& [key, pageTitle] : indexKeys) {
        clickKeys("F1 " + key);
        EXPECT_EQ(title(), pageTitle) << "by " << key << "\n" << panel->CduScreen();
        clickKeys("F4");
        EXPECT_EQ(title(), "ACT LEGS") << "from " << pageTitle;
    }
}

// AP MODES has a prompt at every line key. Each key's prompt is drawn level with the key on the
// face, and clicking the key selects the mode that prompt names, on the screen and on the AP85.
TEST_F(CduByClick, EveryLineKeyActsOnThePromptDrawnLevelWithIt) {
    clickKeys("K1");
    ASSERT_EQ(title(), "AP MODES") << panel->CduScreen();
    const std::vector<uint32_t> page = snapshot();
    // Annunciators the AP85 lights for a mode a key selects (lateral 1 and 2, vertical 1 and 2).
    const std::vector<std::pair<std::string, int>> lamps = {{"L2", 1}, {"L3", 3}, {"R1", 2}, {"R2", 4}};
    for (int line = 1; line <= 6; ++line) {
        for (const char side : {'L', 'R'}) {
            const std::string name = side + std::to_string(line);
            const gauge::CduKey* key = gauge::FindCduKey(*gauge::CduKeyFromName(name));
            ASSERT_TRUE(key);
            // The prompt glyph ('<' in the first cell, '>' in the last) nearest the key's centre.
            const int x0 = side == 'L' ? kScreenLeft : kScreenLeft + 23 * kCellWidth;
            const auto bands = inkBands(page, x0, x0 + kCellWidth);
            ASSERT_FALSE(bands.empty()) << name;
            double nearest = 1e9;
            for (const auto& [top, bottom] : bands) {
                const double offset = (top + bottom) / 2.0 - centre(*key);
                if (std::fabs(offset) < std::fabs(nearest)) nearest = offset;
            }
            EXPECT_LT(std::fabs(nearest), kScreenHeight / 15.0 / 2.0) << name << ": the nearest prompt is " << nearest
                                                                        << " px from the key's centre";
            // The click selects that row's mode: "ACT" moves to it, and its picture changes there.
            const std::vector<uint32_t> before = snapshot();
            clickKeys(name);
            const std::string row = screenRow(2 * line);
            const std::string half = side == 'L' ? row.substr(0, 12) : row.substr(12);
            EXPECT_NE(half.find("ACT"), std::string::npos) << name << "\n" << panel->CduScreen();
            const std::set<int> changed = changedRows(before, snapshot(), kScreenLeft, kScreenLeft + kScreenWidth);
            const bool changedAtKey = std::any_of(changed.begin(), changed.end(), [&](int y) {
                return y >= key->y && y < key->y + key->height;
            });
            // A key on the row already active changes nothing; every other one changes its own row.
            if (!changed.empty()) {
                EXPECT_TRUE(changedAtKey) << name << ": the picture changed elsewhere";
            }
            for (const auto& [lampKey, position] : lamps) {
                if (lampKey == name) {
                    EXPECT_TRUE(annunciatorShown(position)) << name;
                }
            }
        }
    }
    EXPECT_EQ(scratchpad(), "");
}

// Entries typed and entered by clicks: a taken one shows on the row its key faces, a refused one
// leaves that row as it was and shows its message in the scratchpad.
TEST_F(CduByClick, EntriesAreTakenOrRefusedOnTheRowTheirKeyFaces) {
    struct Entry {
        std::string page, typed, key;
        std::string shown;    // on the row the key faces, or "" for a refusal
        std::string message;  // in the scratchpad afterwards
    };
    const std::vector<Entry> entries = {
        {"F1 L3", "F L 3 5 0", "R1", "FL350", ""},
        {"F1 L3", "9 0 0 0", "R1", "9000", ""},
        {"F1 L3", "F L 9 9 9", "R1", "", "INVALID ENTRY"},
        {"F1 L3", "A B C", "R1", "", "INVALID ENTRY"},
        {"F1 L3", "1 2 3 4 5 6", "R1", "", "INVALID ENTRY"},
        {"F1 L2", "K S E A", "L1", "KSEA  N47", ""},
        {"F1 L2", "Z Z Z Z", "L1", "", "NOT IN DATABASE"},
        {"F2", "1 2 3 4", "L1", "", "NOT IN DATABASE"},
        {"F2", "K S E A", "L1", "KSEA", ""},
        {"F2", "K P D X", "R1", "KPDX", ""},
        {"F2", "9 9 Z", "L2", "", "NOT IN DATABASE"},
        {"F2", "1 6 L", "L2", "16L", ""},
        {"F2", "", "R2", "", "INVALID ENTRY"},
    };
    for (const Entry& e : entries) {
        clickKeys(e.page);
        // CLR until nothing is left over from the last entry (a refusal keeps what was typed).
        for (int i = 0; i < 30 && !scratchpad().empty(); ++i) clickKeys("K3");
        ASSERT_EQ(scratchpad(), "");
        clickKeys(e.typed);
        const int line = e.key[1] - '0';
        const std::string rowBefore = screenRow(2 * line);
        const std::vector<uint32_t> before = snapshot();
        clickKeys(e.key);
        const std::string what = e.page + " / " + e.typed + " / " + e.key;
        const std::string row = screenRow(2 * line);
        const gauge::CduKey* key = gauge::FindCduKey(*gauge::CduKeyFromName(e.key));
        const int x0 = e.key[0] == 'L' ? kScreenLeft : kScreenLeft + 12 * kCellWidth;
        const std::set<int> changedNearKey = changedRows(before, snapshot(), x0, x0 + 12 * kCellWidth);
        const bool keyRowChanged = std::any_of(changedNearKey.begin(), changedNearKey.end(), [&](int y) {
            return y >= key->y && y < key->y + key->height;
        });
        if (e.shown.empty()) {
            EXPECT_EQ(row, rowBefore) << what << "\n" << panel->CduScreen();
            EXPECT_FALSE(keyRowChanged) << what;
        } else {
            const bool left = e.key[0] == 'L';
            const bool there = left ? row.rfind(e.shown, 0) == 0 : row.substr(24 - e.shown.size()) == e.shown;
            EXPECT_TRUE(there) << what << "\n" << panel->CduScreen();
            EXPECT_TRUE(keyRowChanged) << what;
        }
        EXPECT_EQ(scratchpad(), e.message) << what << "\n" << panel->CduScreen();
    }
}

}  // namespace
}  // namespace halvex::panel
