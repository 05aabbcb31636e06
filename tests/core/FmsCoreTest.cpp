// The core's start-up, messages and CDU cadence, with a Lua page script so the rules are tested
// apart from the page script's language.
#include <gtest/gtest.h>

#include "core/FmsCore.h"
#include "core/LuaPageCore.h"
#include "script/LuaHost.h"
#include "natives/NativeRegistry.h"
#include "support/ScratchRuntime.h"
#include "support/TempTree.h"

namespace halvex {

namespace {

std::string rowText(const CduTextGrid& g, int row) {
    std::string s;
    for (int c = 0; c < CduTextGrid::kColumns; ++c) s += static_cast<char>(cell::Char(g.At(row, c)));
    return s;
}

const char* kCountingPage = R"(
g_EntryPoint = "page"
g_ScriptPath = ""
g_multiReturnVals = {}
color = {}
cycles = 0
function page(core)
  cycles = cycles + 1
  while FMScore_getKeyBufferSize(core) > 0 do FMScore_popKey(core) end
  FMScore_setLine(core, 0, 0, "CYCLE " .. cycles)
  FMScore_setLine(core, 0, 1, FMScore_getProgramVer(core))
end
)";

class FmsCoreTest : public ::testing::Test {
protected:
    void writeTree(bool ini, bool spec, const std::string& iniText = "FSIF_TYPE = 0\n") {
        tree.write("Gauges/HalvexFmsZolan/VUV6000.sq", kCountingPage);
        if (ini) tree.write("Gauges/HalvexFmsZolan/FMS_ZOLAN.ini", iniText);
        if (spec) tree.write("Gauges/HalvexFmsZolan/FMS_ZOLAN.spc", test::MinimalSpecTable());
    }
    std::unique_ptr<FmsCore> makeCore() {
        CoreDependencies deps{[] { return std::make_unique<LuaHost>(); }, AllNatives()};
        return std::make_unique<FmsCore>(deps);
    }
    test::ScratchRuntime runtime;  // no simulator server but the ones a test starts
    test::TempTree tree;
};

}  // namespace

TEST_F(FmsCoreTest, StartsAndRunsTheScriptWithNativesFromTheFirstCall) {
    writeTree(true, true);
    auto core = makeCore();
    EXPECT_TRUE(core->InitOk());
    EXPECT_TRUE(core->ConfigLoaded());
    EXPECT_EQ(rowText(core->Cdu()->Grid(), 0).substr(0, 7), "CYCLE 1");
    EXPECT_EQ(rowText(core->Cdu()->Grid(), 1).substr(0, 17), "Revision: 0.1.155");
    const SurfacePlacement& p = core->Cdu()->Surface().Placement();
    EXPECT_EQ(p.x, 72);
    EXPECT_EQ(p.height, 256);
}

TEST_F(FmsCoreTest, TheCduRunsEveryFifteenthDrawOrAtOnceWhileKeysWait) {
    writeTree(true, true);
    auto core = makeCore();
    int runs = 0;
    for (int i = 0; i < 45; ++i) runs += core->DrawCdu();
    EXPECT_EQ(runs, 3);  // draws 0, 15 and 30
    core->Cdu()->PushKey('A');
    EXPECT_TRUE(core->DrawCdu());  // keys waiting: runs at once, and the page takes the key
    EXPECT_FALSE(core->DrawCdu());
}

TEST_F(FmsCoreTest, TheCduDrawPaintsTheScreenWindowOnlyWhenDue) {
    writeTree(false, true);  // the start-up message gives a known first row
    auto core = makeCore();
    core->Cdu()->Surface().Palette().fill(0xFFFFFFFF);  // the test page has no colour table
    core->Update();
    const int width = 1000, height = 1118;  // the gauge at twice the face size
    ScopedContext gauge(width, height);
    core->Cdu()->Surface().BindTarget(gauge.get());
    core->SetCduScale(width * 0.002f, height * 0.0017889087f);
    auto litRows = [&](int x0, int x1, int y0, int y1) {
        int n = 0;
        for (int y = y0; y < y1; ++y)
            for (int x = x0; x < x1; x += 2) n += (PixelAt(gauge.get(), x, y) & 0xFFFFFF) != 0;
        return n;
    };
    EXPECT_EQ(core->DrawCdu(gauge.get()), 0);
    EXPECT_GT(litRows(144, 864, 102, 102 + 34), 20);         // the message's row, top of the window
    EXPECT_EQ(litRows(0, width, 0, 100), 0);                  // nothing above the window
    EXPECT_EQ(litRows(0, 142, 100, 614), 0);                  // nor left of it
    ScopedContext next(width, height);                       // the next draw is not due
    EXPECT_EQ(core->DrawCdu(next.get()), 0);
    bool blank = true;
    for (int y = 102; y < 614 && blank; y += 3)
        for (int x = 144; x < 864 && blank; x += 3) blank = PixelAt(next.get(), x, y) == 0xFF000000u;
    EXPECT_TRUE(blank);
}

TEST_F(FmsCoreTest, MissingConfigurationShowsIniFileNotLoaded) {
    writeTree(false, true);
    auto core = makeCore();
    EXPECT_FALSE(core->ConfigLoaded());
    core->Update();
    EXPECT_EQ(rowText(core->Cdu()->Grid(), 0).substr(0, 19), "INI FILE NOT LOADED");
    // Keys are never consumed, so every draw redraws.
    core->Cdu()->PushKey('A');
    EXPECT_TRUE(core->DrawCdu());
    EXPECT_TRUE(core->DrawCdu());
    EXPECT_EQ(rowText(core->Cdu()->Grid(), 0).substr(0, 19), "INI FILE NOT LOADED");
    EXPECT_EQ(rowText(core->Cdu()->Grid(), 1), std::string(24, ' '));
}

TEST_F(FmsCoreTest, MissingPerformanceFileShowsInitilizeFailedWithoutRunningTheScript) {
    writeTree(true, false);
    auto core = makeCore();
    EXPECT_FALSE(core->InitOk());
    core->Update();
    EXPECT_EQ(rowText(core->Cdu()->Grid(), 0).substr(0, 16), "INITILIZE FAILED");
    EXPECT_TRUE(core->DrawCdu());
    EXPECT_EQ(rowText(core->Cdu()->Grid(), 0).substr(0, 16), "INITILIZE FAILED");
}

TEST_F(FmsCoreTest, ConfigurationValuesFollowTheirRules) {
    struct Case {
        const char* text;
        int type;
        bool fast, smooth, interp, loaded;
    };
    const Case cases[] = {
        {"FSIF_TYPE = 1; FAST_BLT = true; DRAW_SMOOTH_HIGH = 1.9; DRAW_INTERPOLATE_HIGH = 2", 1, true, true, false, true},
        {"FSIF_TYPE = 7; FAST_BLT = 'yes'", 0, false, false, false, true},
        {"FSIF_TYPE = 'x'", 0, false, false, false, true},
        {"error('broken')", 0, false, false, false, false},
        {"this is not lua", 0, false, false, false, false},
    };
    for (const Case& c : cases) {
        writeTree(true, true, c.text);
        auto core = makeCore();
        EXPECT_EQ(core->Config().interfaceType, c.type) << c.text;
        EXPECT_EQ(core->Cdu()->Surface().fastBlt, c.fast) << c.text;
        EXPECT_EQ(core->Cdu()->Surface().smoothHigh, c.smooth) << c.text;
        EXPECT_EQ(core->Cdu()->Surface().interpolateHigh, c.interp) << c.text;
        EXPECT_EQ(core->ConfigLoaded(), c.loaded) << c.text;
        // The performance file still loads after a failed configuration run.
        EXPECT_TRUE(core->InitOk()) << c.text;
    }
}

}  // namespace halvex
