// The core's guidance against the substitute simulator: the natives answer from live guidance,
// and a data server that stops mid-flight leaves the last outputs standing until it answers again.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>

#include "core/FmsCore.h"
#include "natives/NativeRegistry.h"
#include "script/CduEngine.h"
#include "simlink/SimIpcClient.h"
#include "sim/DataServer.h"
#include "support/ScratchRuntime.h"

namespace halvex {
namespace {

class InBundledTree {
public:
    InBundledTree() : previous_(std::filesystem::current_path()) {
        std::filesystem::current_path(std::filesystem::path(HALVEX_SOURCE_DIR) / "data");
    }
    ~InBundledTree() { std::filesystem::current_path(previous_); }

private:
    std::filesystem::path previous_;
};

ScriptValue CallNative(FmsCore& core, const std::string& name, std::initializer_list<ScriptValue> args = {}) {
    ScriptValue list = ScriptValue::Pointer(&core);
    for (const ScriptValue& a : args) list.append(a);
    ScriptValue results;
    for (const NativeEntry& e : AllNatives())
        if (name == e.name) e.function(results, list);
    return results;
}

class GuidanceCoreTest : public ::testing::Test {
protected:
    GuidanceCoreTest() {
        ExchangeTiming quick;
        quick.versionPassSleepMs = 1;
        SimIpcClient::SetTiming(quick);
        options.ownClock = false;
        options.model.latitudeDeg = 47.40;  // south of Seattle, heading south at 8,000 ft
        options.model.longitudeDeg = -122.31;
        options.model.trueHeadingDeg = 190;
        options.model.altitudeFt = 8000;
        options.model.iasKt = 250;
        options.model.magneticVariationDeg = 15;
    }
    ~GuidanceCoreTest() override { SimIpcClient::SetTiming(ExchangeTiming{}); }

    void Frames(sim::DataServer* server, FmsCore& core, int count) {
        for (int i = 0; i < count; ++i) {
            if (server) server->Step(0.5);
            core.Update();
        }
    }

    test::ScratchRuntime runtime;
    InBundledTree tree;
    sim::DataServerOptions options;
};

TEST_F(GuidanceCoreTest, NativesAnswerFromLiveGuidanceAndAStoppedServerFreezesTheOutputs) {
    auto server = std::make_unique<sim::DataServer>(options);
    ASSERT_TRUE(server->Start());
    FmsCore core(CoreDependencies{MakeCduScriptHost, AllNatives()});
    ASSERT_TRUE(core.InitOk());
    Frames(server.get(), core, 2);
    FlightPlanSet& plans = core.Model()->Plans();
    ASSERT_EQ(plans.setOrigin("KSEA"), 0);
    ASSERT_EQ(plans.setDestination("KPDX"), 0);
    const int32_t fix = core.Database()->FindNearestWaypoint("WETTR", 45.6f / 57.29578f, -122.7f / 57.29578f);
    ASSERT_EQ(plans.insertLegsWaypoint(fix, 1), 0);
    plans.activate();
    CallNative(core, "FMScore_setCrzAlt", {ScriptValue::String("12000")});
    core.ApModes()->SetAutopilotMaster(true);
    core.ApModes()->SetLateralMode(1);
    core.ApModes()->SetVerticalMode(1);
    Frames(server.get(), core, 120);

    const double dtg = CallNative(core, "FMScore_getDTG").asReal();
    EXPECT_GT(dtg, 10.0);
    EXPECT_LT(dtg, 150.0);
    EXPECT_GT(CallNative(core, "FMScore_getDestDist").asReal(), dtg - 1e-3);
    EXPECT_LT(std::abs(CallNative(core, "FMScore_getLxtkError").asReal()), 2.0);
    EXPECT_TRUE(std::isfinite(CallNative(core, "FMScore_getVxtk").asReal()));
    const int32_t points = CallNative(core, "FMScore_getVPathSize").asInteger();
    EXPECT_GE(points, 2);
    const ScriptValue last = CallNative(core, "FMScore_getVPathData", {ScriptValue::Integer(points - 1), ScriptValue::Bool(false)});
    ASSERT_NE(last.next(), nullptr);
    EXPECT_EQ(last.next()->text(), "EOD");
    const ScriptValue past = CallNative(core, "FMScore_getVPathData", {ScriptValue::Integer(points), ScriptValue::Bool(false)});
    EXPECT_DOUBLE_EQ(past.asReal(), -1.0);
    // The aircraft turns onto the leg towards WETTR: the autopilot bug follows the guidance.
    const float commanded = core.Guidance()->Lateral().CommandedHeading();
    EXPECT_NEAR(std::remainder(server->Autopilot().headingBugDegMag + 15.0 - commanded, 360.0), 0.0, 0.1);

    // The server goes away: nothing moves, nothing becomes NaN.
    server->Stop();
    server.reset();
    const float xtk = core.Guidance()->Lateral().CrossTrackError();
    const float toGo = core.Guidance()->Lateral().DistanceToGo();
    Frames(nullptr, core, 20);
    EXPECT_EQ(core.Guidance()->Lateral().CrossTrackError(), xtk);
    EXPECT_EQ(core.Guidance()->Lateral().DistanceToGo(), toGo);
    EXPECT_EQ(core.Guidance()->Lateral().CommandedHeading(), commanded);

    // It comes back (a little further on): guidance resumes from the new position.
    options.model.latitudeDeg = 47.0;
    server = std::make_unique<sim::DataServer>(options);
    ASSERT_TRUE(server->Start());
    Frames(server.get(), core, 4);
    EXPECT_NEAR(core.Aircraft()->Latitude() * kRadToDeg, 47.0, 0.01);
    EXPECT_NE(core.Guidance()->Lateral().DistanceToGo(), toGo);
}

}  // namespace
}  // namespace halvex
