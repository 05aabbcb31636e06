// The route natives through a core on the bundled navigation data, called from a Lua page.
#include <gtest/gtest.h>

#include <filesystem>

#include "core/FmsCore.h"
#include "script/LuaHost.h"
#include "script/natives/NativeRegistry.h"
#include "support/TempTree.h"

namespace halvex {
namespace {

using namespace test;

const char* kSpec = R"(
SPEC_TBL = { size = 1, [0] = { size = 1, weight = 1000, v1 = 1, vr = 2, v2 = 3, optClbSpd = 4, optDesSpd = 5, optCrzSpd = 6,
  [0] = { size = 1, spd = 250, turnRate = 1.5, [0] = { alt = 0, climb = 9, descend = -9 } } } })";

// The page runs the body once and records what the calls returned in "seen".
std::string PageScript(const std::string& body) {
    return R"(
g_EntryPoint = "page"
g_multiReturnVals = {}
color = {}
seen = ""
function show(...)
  local parts = {}
  for i = 1, select("#", ...) do parts[#parts + 1] = tostring((select(i, ...))) end
  seen = seen .. table.concat(parts, ",") .. ";"
end
function page(core)
)" + body + R"(
  g_EntryPoint = "idle"
end
function idle(core) end
)";
}

class RouteNativesTest : public ::testing::Test {
protected:
    void SetUp() override {
        tree.write("Gauges/HalvexFmsZolan/FMS_ZOLAN.ini", "FSIF_TYPE = 0\n");
        tree.write("Gauges/HalvexFmsZolan/FMS_ZOLAN.spc", kSpec);
        tree.copyFromSource("data/FMCWP", "FMCWP");
        tree.copyFromSource("data/PMDG", "PMDG");
    }
    std::string run(const std::string& body) {
        tree.write("Gauges/HalvexFmsZolan/VUV6000.sq", PageScript(body));
        CoreDependencies deps{[] { return std::make_unique<LuaHost>(); }, AllNatives()};
        core = std::make_unique<FmsCore>(deps);
        ScriptValue seen;
        core->Cdu()->Engine().GetValue(seen, MakePath("seen"));
        const std::string error = core->Cdu()->Engine().LastError();
        return error.empty() ? seen.text() : "error: " + error;
    }
    TempTree tree;
    std::unique_ptr<FmsCore> core;
};

TEST_F(RouteNativesTest, SaveWithAndWithoutNameThenLoadAndExecute) {
    const std::string seen = run(R"(
  show(FMScore_setOrg(core, "KSEA"), FMScore_setDst(core, "KPDX"))
  FMScore_activateLegs(core)
  show(FMScore_saveRoute(core), FMScore_saveRoute(core, ""), FMScore_saveRoute(core, 7), FMScore_saveRoute(core, "COMPANY"))
  show(FMScore_isLegsModify(core), FMScore_loadRoute(core, "COMPANY"), FMScore_isLegsModify(core))
  show(FMScore_getModLegsWpSize(core), (FMScore_getModLegsWpInfo(core, 1, false)))
  FMScore_activateLegs(core)
  show(FMScore_getActLegsWpSize(core), FMScore_isLegsModify(core))
)");
    EXPECT_EQ(seen, "0,0;0,0,0,0;false,0,true;2,KPDX;2,false;");
    for (const char* name : {"KSEAKPDX1", "KSEAKPDX2", "KSEAKPDX3", "COMPANY"})
        EXPECT_TRUE(std::filesystem::exists(std::string("Gauges/HalvexFmsZolan/Route/") + name + ".xml")) << name;
}

TEST_F(RouteNativesTest, FailuresAnswerMinusOneAndMissingArgumentsNothing) {
    tree.write("Gauges/HalvexFmsZolan/Route/BROKEN.xml", "<FMS_COROUTE><ORIGIN/></FMS_COROUTE>");
    const std::string seen = run(R"(
  show(FMScore_saveRoute(core), FMScore_saveRoute(core, "NAMED"))
  show(FMScore_loadRoute(core, "MISSING"), FMScore_loadRoute(core, "BROKEN"), FMScore_loadRoute(core, "../FMS_ZOLAN"))
  show(FMScore_loadRoute(core) == nil, FMScore_isLegsModify(core))
  FMScore_setOrg(core, "KSEA"); FMScore_setDst(core, "KPDX"); FMScore_activateLegs(core)
  show(FMScore_saveRoute(core, "../escape"), FMScore_saveRoute(core, "C:x"), FMScore_saveRoute(core, "a\\b"))
)");
    EXPECT_EQ(seen, "-1,-1;-1,-1,-1;true,false;-1,-1,-1;");
    EXPECT_FALSE(std::filesystem::exists("Gauges/HalvexFmsZolan/escape.xml"));
}

}  // namespace
}  // namespace halvex
