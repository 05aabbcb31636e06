// The core reading a flying aircraft from the substitute simulator every frame, and the aircraft
// natives and autopilot modes reaching the simulator's switches.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>

#include "core/FmsCore.h"
#include "script/LuaHost.h"
#include "natives/NativeRegistry.h"
#include "simlink/SimIpcClient.h"
#include "sim/DataServer.h"
#include "support/ScratchRuntime.h"
#include "support/TempTree.h"

namespace halvex {
namespace {

const char* kPage = R"(
g_EntryPoint = "page"
g_ScriptPath = ""
g_multiReturnVals = {}
color = {}
function page(core) end
)";

const char* kSpec = R"(
SPEC_TBL = { size = 1, [0] = { size = 1, weight = 1000, v1 = 1, vr = 2, v2 = 3, optClbSpd = 4, optDesSpd = 5, optCrzSpd = 6,
  [0] = { size = 1, spd = 250, turnRate = 1.5, [0] = { alt = 0, climb = 9, descend = -9 } } } })";

class EndToEndTest : public ::testing::Test {
protected:
    EndToEndTest() {
        ExchangeTiming quick;
        quick.versionPassSleepMs = 1;
        SimIpcClient::SetTiming(quick);
        tree.write("Gauges/HalvexFmsZolan/VUV6000.sq", kPage);
        tree.write("Gauges/HalvexFmsZolan/FMS_ZOLAN.spc", kSpec);
        options.ownClock = false;
        options.model.latitudeDeg = 47.0;
        options.model.longitudeDeg = -122.0;
        options.model.trueHeadingDeg = 90;
        options.model.iasKt = 250;
        options.model.altitudeFt = 8000;
        options.model.utcDate = sim::SimDate{2006, 3, 5, 7, 4};
        options.model.magneticVariationDeg = 16;
    }
    ~EndToEndTest() override { SimIpcClient::SetTiming(ExchangeTiming{}); }

    std::unique_ptr<FmsCore> makeCore(const char* ini) {
        tree.write("Gauges/HalvexFmsZolan/FMS_ZOLAN.ini", ini);
        return std::make_unique<FmsCore>(CoreDependencies{[] { return std::make_unique<LuaHost>(); }, AllNatives()});
    }
    // Calls a native the way an engine does: the core first, then the arguments.
    ScriptValue callNative(FmsCore& core, const std::string& name, std::initializer_list<ScriptValue> args = {}) {
        ScriptValue list = ScriptValue::Pointer(&core);
        for (const ScriptValue& a : args) list.append(a);
        ScriptValue results;
        for (const NativeEntry& e : AllNatives())
            if (name == e.name) e.function(results, list);
        return results;
    }
    double multi(FmsCore& core, int index) {
        ScriptValue v;
        core.Cdu()->Engine().GetValue(v, MakePath("g_multiReturnVals", index));
        return v.asReal();
    }

    test::ScratchRuntime runtime;
    test::TempTree tree;
    sim::DataServerOptions options;
};

TEST_F(EndToEndTest, WithoutServerTheCoreRunsOnWithTheStartPosition) {
    auto core = makeCore("FSIF_TYPE = 0\n");
    ASSERT_TRUE(core->InitOk());
    EXPECT_FALSE(core->Simulator()->IsConnected());
    EXPECT_EQ(core->Simulator()->LastResult(), SimIpcCode::NoServerWindow);
    core->Update();
    EXPECT_NEAR(core->Aircraft()->CurrentPosition().latRad * kRadToDeg, -57.29578, 1e-3);  // the failure value, -1 rad
    callNative(*core, "FMScore_setApLMode", {ScriptValue::Integer(1)});  // nothing to send to; still stored
    EXPECT_EQ(core->ApModes()->LateralMode(), 1);
    EXPECT_EQ(callNative(*core, "FMScore_getFsUtcDate").text(), "   0/00/00");
}

TEST_F(EndToEndTest, TheCoreReadsTheFlyingAircraftEveryFrame) {
    sim::DataServer server(options);
    ASSERT_TRUE(server.Start());
    auto core = makeCore("FSIF_TYPE = 0\n");
    ASSERT_TRUE(core->Simulator()->IsConnected());
    const PositionTriple start = core->Aircraft()->CurrentPosition();
    EXPECT_NEAR(start.latRad * kRadToDeg, 30.0, 1e-4);  // before the first read: 30 N 135 E
    EXPECT_NEAR(start.lonRad * kRadToDeg, 135.0, 1e-4);

    core->Update();
    EXPECT_NEAR(core->Aircraft()->Latitude() * kRadToDeg, 47.0, 1e-4);
    EXPECT_NEAR(core->Aircraft()->PreviousPosition().lonRad * kRadToDeg, 135.0, 1e-4);
    server.Step(60.0);
    core->Update();
    const PositionTriple now = core->Aircraft()->CurrentPosition();
    EXPECT_NEAR(core->Aircraft()->PreviousPosition().latRad * kRadToDeg, 47.0, 1e-4);
    EXPECT_GT(now.lonRad * kRadToDeg, -122.0 + 0.05);  // flew east for a minute
    const GeoVector track = core->Aircraft()->TrackVector();
    const double lengthNm = std::sqrt(track.x * track.x + track.y * track.y + track.z * track.z);
    EXPECT_NEAR(lengthNm, server.Snapshot().groundSpeedKt / 60.0, 0.3);
    EXPECT_NEAR(core->Aircraft()->TrueHeading(), 90.0, 1.0);

    callNative(*core, "FMScore_getIRSpos");
    EXPECT_NEAR(multi(*core, 0), now.latRad * kRadToDeg, 1e-4);
    EXPECT_NEAR(multi(*core, 1), now.lonRad * kRadToDeg, 1e-4);
    EXPECT_NEAR(callNative(*core, "FMScore_getKGAS").asReal(), server.Snapshot().groundSpeedKt, 0.01);
    EXPECT_NEAR(callNative(*core, "FMScore_getGW").asReal(), server.Snapshot().grossWeightLb, 1.0);
    EXPECT_DOUBLE_EQ(callNative(*core, "FMScore_getZFW").asReal(), 0.0);
    EXPECT_EQ(callNative(*core, "FMScore_getFsUtcDate").text(), "2006/03/05");
    char time[8];
    std::snprintf(time, sizeof time, "%02d:%02d", server.Snapshot().utcHour, server.Snapshot().utcMinute);
    EXPECT_EQ(callNative(*core, "FMScore_getFsUtcTime").text(), time);
    EXPECT_EQ(std::string(time).substr(0, 4), "07:0");
}

TEST_F(EndToEndTest, AutopilotModesSwitchTheSimulatorsHolds) {
    sim::DataServer server(options);
    ASSERT_TRUE(server.Start());
    auto core = makeCore("FSIF_TYPE = 1\n");  // the FDS transport this time
    ASSERT_TRUE(core->Simulator()->IsConnected());
    core->Update();
    ApModeState& modes = *core->ApModes();

    modes.CommandHeading(200);  // lateral mode 0: not passed on
    EXPECT_NEAR(server.Autopilot().headingBugDegMag, 90.0 - 16.0, 0.01);
    callNative(*core, "FMScore_setApLMode", {ScriptValue::Integer(1)});
    EXPECT_TRUE(server.Autopilot().headingHold);
    modes.CommandHeading(200);  // true heading, sent as magnetic
    EXPECT_NEAR(server.Autopilot().headingBugDegMag, 184.0, 0.01);

    callNative(*core, "FMScore_setApVMode", {ScriptValue::Integer(1)});
    EXPECT_TRUE(server.Autopilot().altitudeHold);
    modes.CommandAltitude(12000);
    modes.CommandVerticalSpeed(2000);
    modes.CommandAirspeed(280);
    EXPECT_NEAR(server.Autopilot().targetAltitudeFt, 12000, 0.01);
    EXPECT_DOUBLE_EQ(server.Autopilot().targetVerticalSpeedFpm, 2000);
    EXPECT_DOUBLE_EQ(server.Autopilot().targetIasKt, 280);

    callNative(*core, "FMScore_setApVMode", {ScriptValue::Integer(4)});
    EXPECT_TRUE(server.Autopilot().airspeedHold);
    callNative(*core, "FMScore_setApLMode", {ScriptValue::Integer(3)});
    EXPECT_TRUE(server.Autopilot().navHold);
    callNative(*core, "FMScore_setApVMode", {ScriptValue::Integer(6)});  // approach: both axes
    EXPECT_EQ(callNative(*core, "FMScore_getApLMode").asInteger(), 4);
    EXPECT_EQ(callNative(*core, "FMScore_getApVMode").asInteger(), 6);
    EXPECT_TRUE(server.Autopilot().approachHold);
    callNative(*core, "FMScore_setApVMode", {ScriptValue::Integer(7)});  // out of range: ignored
    callNative(*core, "FMScore_setApLMode", {ScriptValue::Integer(-1)});
    EXPECT_EQ(modes.VerticalMode(), 6);
    EXPECT_EQ(modes.LateralMode(), 4);

    modes.SetAutopilotMaster(true);
    modes.SetFlightDirector(true);
    server.Step(0.05);
    core->Update();
    EXPECT_TRUE(modes.AutopilotMaster());
    EXPECT_TRUE(modes.FlightDirector());
}

TEST_F(EndToEndTest, TheAircraftFliesTheCommandedHeadingAndAltitude) {
    sim::DataServer server(options);
    ASSERT_TRUE(server.Start());
    auto core = makeCore("FSIF_TYPE = 0\n");
    core->Update();
    ApModeState& modes = *core->ApModes();
    modes.SetAutopilotMaster(true);
    modes.SetLateralMode(1);
    modes.SetVerticalMode(1);
    modes.CommandHeading(180);  // true
    modes.CommandAltitude(10000);
    modes.CommandVerticalSpeed(1500);
    modes.CommandAirspeed(250);
    for (int frame = 0; frame < 180; ++frame) {  // three simulated minutes, a frame a second
        server.Step(1.0);
        core->Update();
    }
    EXPECT_NEAR(core->Aircraft()->TrueHeading(), 180.0, 2.0);
    EXPECT_NEAR(core->Aircraft()->Altitude(), 10000.0, 50.0);
    const GeoVector t = core->Aircraft()->TrackVector();
    EXPECT_LT(t.y, 0.0f);  // moving south
}

}  // namespace
}  // namespace halvex
