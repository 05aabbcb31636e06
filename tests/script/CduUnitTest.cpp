// The CDU unit against the engine interface, driven through the Lua engine so that these rules
// are tested independently of the page script's language.
#include <gtest/gtest.h>

#include "CduUnitFixture.h"
#include "script/LuaHost.h"

namespace halvex {

namespace {

using namespace test;

using CduUnitTest = CduUnitFixture<LuaHost>;

const char* kTwoPages = R"(
g_EntryPoint = "first"
g_ScriptPath = ""
g_multiReturnVals = {}
color = { c0 = { r = 1, g = 2, b = 3 }, c1 = { r = 300, g = 0, b = 7 } }
calls = 0
function first(core)
  calls = calls + 1
  put(core, 0, 0, "FIRST " .. calls)
  if pop(core) == 65 then g_EntryPoint = "second" end
end
function second(core)
  put(core, 0, 1, "SECOND")
  g_EntryPoint = 42
end
)";

}  // namespace

TEST_F(CduUnitTest, LoadsReadsThePaletteAndSetsTheScriptPath) {
    auto unit = make(kTwoPages);
    ASSERT_TRUE(unit->Loaded());
    EXPECT_EQ(unit->EntryPoint(), "first");
    const CduPalette& p = unit->Surface().Palette();
    EXPECT_EQ(p[0], 0xFF010203u);
    EXPECT_EQ(p[1], 0xFF2C0007u);  // 300 keeps its low 8 bits: 44
    EXPECT_EQ(p[2], 0xFF070707u);  // unreadable components repeat the last one read
    ScriptValue v;
    ASSERT_EQ(unit->Engine().GetValue(v, MakePath("g_ScriptPath")), 0);
    EXPECT_EQ(v.text(), CduUnit::kModuleDirectory);
}

TEST_F(CduUnitTest, FollowsTheEntryPointFromPageToPage) {
    auto unit = make(kTwoPages);
    unit->Start();
    EXPECT_EQ(RowText(unit->Grid(), 0).substr(0, 7), "FIRST 1");
    unit->ScriptCycle();
    EXPECT_EQ(RowText(unit->Grid(), 0).substr(0, 7), "FIRST 2");
    unit->PushKey('A');
    unit->ScriptCycle();
    EXPECT_EQ(unit->EntryPoint(), "second");
    unit->ScriptCycle();
    EXPECT_EQ(RowText(unit->Grid(), 1).substr(0, 6), "SECOND");
    EXPECT_EQ(RowText(unit->Grid(), 0), std::string(24, ' '));  // cleared before the call
    // A non-string entry point becomes an empty name; the next call reports it in the grid.
    EXPECT_EQ(unit->EntryPoint(), "");
    unit->ScriptCycle();
    EXPECT_NE(ScreenText(unit->Grid()).find("attempt to call"), std::string::npos);
}

TEST_F(CduUnitTest, ARunTimeErrorIsShownAndTheSamePageIsCalledAgain) {
    auto unit = make(R"(
g_EntryPoint = "page"
g_ScriptPath = ""
n = 0
function page(core) n = n + 1; g_EntryPoint = "other"; error("bad page " .. n) end
)");
    unit->ScriptCycle();
    EXPECT_NE(ScreenText(unit->Grid()).find("bad page 1"), std::string::npos);
    EXPECT_EQ(unit->EntryPoint(), "page");
    EXPECT_EQ(cell::Colour(unit->Grid().At(0, 0)), 7);
    unit->ScriptCycle();
    EXPECT_NE(ScreenText(unit->Grid()).find("bad page 2"), std::string::npos);
}

TEST_F(CduUnitTest, AScriptThatFailsToLoadShowsABlankScreenForever) {
    auto unit = make("this does not compile (");
    EXPECT_FALSE(unit->Loaded());
    unit->Start();
    unit->ScriptCycle();
    // Lua keeps its load error; the cycle shows it (a Squirrel engine's would be empty).
    EXPECT_FALSE(unit->Engine().LastError().empty());
}

TEST_F(CduUnitTest, MissingScriptLeavesTheUnitUnloaded) {
    tree.write("other.txt", "");
    auto unit = std::make_unique<CduUnit>(&core, std::make_unique<LuaHost>(), "nope/VUV6000.sq", kTestNatives);
    EXPECT_FALSE(unit->Loaded());
    unit->ScriptCycle();
}

TEST(KeyBuffer, ReturnsCodesInOrderAsSignedBytes) {
    KeyBuffer keys;
    EXPECT_EQ(keys.Pop(), 0);
    keys.Push('A');
    keys.Push('1');
    keys.Push(-30);
    keys.Push(300);  // only the low 8 bits pass
    EXPECT_EQ(keys.Size(), 4);
    EXPECT_EQ(keys.Peek(), 65);
    EXPECT_EQ(keys.Pop(), 65);
    EXPECT_EQ(keys.Pop(), 49);
    EXPECT_EQ(keys.Pop(), -30);
    EXPECT_EQ(keys.Pop(), 44);
    EXPECT_EQ(keys.Pop(), 0);
}

}  // namespace halvex
