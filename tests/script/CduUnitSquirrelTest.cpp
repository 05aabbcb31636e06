// The CDU unit on the real page-script engine: the same rules as CduUnitTest, in Squirrel.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "CduUnitFixture.h"
#include "script/SquirrelHost.h"

namespace halvex {

namespace {

using namespace test;

using CduUnitSquirrelTest = CduUnitFixture<SquirrelHost>;

const char* kTwoPages = R"(
g_EntryPoint <- "first"
g_ScriptPath <- ""
g_multiReturnVals <- [null, null, null, null, null, null, null]
color <- { c0 = { r = 1, g = 2, b = 3 }, c1 = { r = 300, g = 0, b = 7 } }
calls <- 0
function first(core) {
    ::calls++
    put(core, 0, 0, "FIRST " + calls)
    if (pop(core) == 65) ::g_EntryPoint = "second"
}
function second(core) {
    put(core, 0, 1, "SECOND")
    ::g_EntryPoint = 42
}
)";

}  // namespace

TEST_F(CduUnitSquirrelTest, LoadsReadsThePaletteAndSetsTheScriptPath) {
    auto unit = make(kTwoPages);
    ASSERT_TRUE(unit->Loaded());
    EXPECT_EQ(unit->EntryPoint(), "first");
    const CduPalette& p = unit->Surface().Palette();
    EXPECT_EQ(p[0], 0xFF010203u);
    EXPECT_EQ(p[1], 0xFF2C0007u);
    EXPECT_EQ(p[2], 0xFF070707u);
    ScriptValue v;
    ASSERT_EQ(unit->Engine().GetValue(v, MakePath("g_ScriptPath")), 0);
    EXPECT_EQ(v.text(), CduUnit::kModuleDirectory);
}

TEST_F(CduUnitSquirrelTest, FollowsTheEntryPointFromPageToPageWithTheCorePointer) {
    auto unit = make(kTwoPages);
    unit->Start();
    EXPECT_EQ(RowText(unit->Grid(), 0).substr(0, 7), "FIRST 1");
    EXPECT_EQ(g_seenCore, &core);
    unit->ScriptCycle();
    EXPECT_EQ(RowText(unit->Grid(), 0).substr(0, 7), "FIRST 2");
    unit->PushKey('A');
    unit->ScriptCycle();
    EXPECT_EQ(unit->EntryPoint(), "second");
    unit->ScriptCycle();
    EXPECT_EQ(RowText(unit->Grid(), 1).substr(0, 6), "SECOND");
    EXPECT_EQ(RowText(unit->Grid(), 0), std::string(24, ' '));
    EXPECT_EQ(unit->EntryPoint(), "");  // 42 is not a name
    unit->ScriptCycle();
    EXPECT_NE(ScreenText(unit->Grid()).find("does not exist"), std::string::npos);
}

TEST_F(CduUnitSquirrelTest, ARunTimeErrorIsShownAndTheSamePageIsCalledAgain) {
    auto unit = make(R"(
g_EntryPoint <- "page"
g_ScriptPath <- ""
n <- 0
function page(core) { ::n++; ::g_EntryPoint = "other"; throw "bad page " + n }
)");
    unit->ScriptCycle();
    EXPECT_NE(ScreenText(unit->Grid()).find("bad page 1"), std::string::npos);
    EXPECT_EQ(unit->EntryPoint(), "page");
    EXPECT_EQ(cell::Colour(unit->Grid().At(0, 0)), 7);
    unit->ScriptCycle();
    EXPECT_NE(ScreenText(unit->Grid()).find("bad page 2"), std::string::npos);
}

TEST_F(CduUnitSquirrelTest, AnEngineErrorTextReachesTheGrid) {
    auto unit = make(R"(
g_EntryPoint <- "page"
g_ScriptPath <- ""
function page(core) { local t = {}; return t.nothing }
)");
    unit->ScriptCycle();
    EXPECT_EQ(ScreenText(unit->Grid()).substr(0, 34), "the index 'nothing' does not exist");
}

TEST_F(CduUnitSquirrelTest, AScriptThatFailsToLoadShowsABlankScreen) {
    auto unit = make("this does not compile (");
    EXPECT_FALSE(unit->Loaded());
    unit->Start();
    unit->ScriptCycle();
    EXPECT_EQ(unit->Engine().LastError(), "");
    EXPECT_EQ(ScreenText(unit->Grid()), std::string(24 * 15, ' '));
}

TEST_F(CduUnitSquirrelTest, TheBundledPageScriptLoads) {
    std::ifstream in(std::string(HALVEX_SOURCE_DIR) + "/data/Gauges/HalvexFmsZolan/VUV6000.sq");
    std::stringstream text;
    text << in.rdbuf();
    auto unit = make(text.str());
    EXPECT_TRUE(unit->Loaded());
    EXPECT_EQ(unit->EntryPoint(), "PageIdent");
    EXPECT_EQ(unit->Surface().Palette()[1], 0xFF00FF00u);
}

}  // namespace halvex
