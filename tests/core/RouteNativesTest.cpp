// The route natives through a core on the bundled navigation data, called from a Lua page.
#include <gtest/gtest.h>

#include <filesystem>

#include "core/LuaPageCore.h"

namespace halvex {
namespace {

using namespace test;

class RouteNativesTest : public ::testing::Test, protected LuaPageCore {
protected:
    void SetUp() override { copyBundledData(); }
    std::string run(const std::string& body) { return LuaPageCore::run(LuaPageScript(body, -1)); }
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
