// The autopilot mode mapping onto the simulator's holds, the mode-1 gate for guidance targets,
// and the aircraft's position history, over a simulator link that records what it is asked.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "core/FmsCore.h"
#include "script/LuaHost.h"
#include "natives/NativeRegistry.h"
#include "support/ScratchRuntime.h"
#include "support/TempTree.h"

namespace halvex {
namespace {

class RecordingSimulator : public SimVariables {
public:
    std::vector<std::string> calls;
    PositionTriple next{0.5f, 1.0f, kEarthRadiusNm};

    int Update() override {
        calls.push_back("Update");
        return 0;
    }
    const PositionTriple& Position() const override { return next; }
    float MagneticVariation() const override { return 12.0f; }
    void EngageHeadingHold() override { calls.push_back("HDG"); }
    void EngageNavHold() override { calls.push_back("NAV"); }
    void EngageAltitudeHold() override { calls.push_back("ALT"); }
    void EngageAirspeedHold() override { calls.push_back("SPD"); }
    void EngageApproachHold() override { calls.push_back("APR"); }
    void SetAutopilotHeading(float h, bool isTrue) override {
        calls.push_back("heading " + std::to_string(static_cast<int>(h)) + (isTrue ? " true" : " magnetic"));
    }
    void SetAutopilotAltitude(float a) override { calls.push_back("altitude " + std::to_string(static_cast<int>(a))); }
    void SetAutopilotVerticalSpeed(float v) override { calls.push_back("vs " + std::to_string(static_cast<int>(v))); }
    void SetAutopilotAirspeed(float s) override { calls.push_back("speed " + std::to_string(static_cast<int>(s))); }

protected:
    bool QueueRead(uint32_t, uint32_t, void*, uint32_t& r) override { return (r = 9), false; }
    bool QueueWrite(uint32_t, uint32_t, const void*, uint32_t& r) override { return (r = 9), false; }
    bool Process(uint32_t& r) override { return (r = 9), false; }
    bool ReadAltitudes() override { return false; }
};

class ApModeStateTest : public ::testing::Test {
protected:
    ApModeStateTest() {
        tree.write("Gauges/HalvexFmsZolan/VUV6000.sq", "g_EntryPoint = 'page'\ng_multiReturnVals = {}\nfunction page(core) end\n");
        tree.write("Gauges/HalvexFmsZolan/FMS_ZOLAN.ini", "FSIF_TYPE = 0\n");
        tree.write("Gauges/HalvexFmsZolan/FMS_ZOLAN.spc",
                   "SPEC_TBL = { size = 1, [0] = { size = 1, weight = 1000, v1 = 1, vr = 2, v2 = 3, optClbSpd = 4, "
                   "optDesSpd = 5, optCrzSpd = 6, [0] = { size = 1, spd = 250, turnRate = 1.5, "
                   "[0] = { alt = 0, climb = 9, descend = -9 } } } }");
        CoreDependencies deps{[] { return std::make_unique<LuaHost>(); }, AllNatives(), [this](int32_t) {
                                  auto s = std::make_unique<RecordingSimulator>();
                                  sim = s.get();
                                  return s;
                              }};
        core = std::make_unique<FmsCore>(deps);
        EXPECT_TRUE(core->InitOk());
        sim->calls.clear();
    }
    std::vector<std::string> take() {
        auto c = sim->calls;
        sim->calls.clear();
        return c;
    }
    test::ScratchRuntime runtime;
    test::TempTree tree;
    RecordingSimulator* sim = nullptr;
    std::unique_ptr<FmsCore> core;
};

using Calls = std::vector<std::string>;

TEST_F(ApModeStateTest, LateralModesEngageTheirHolds) {
    ApModeState& m = *core->ApModes();
    EXPECT_EQ(m.LateralMode(), 0);
    EXPECT_EQ(m.VerticalMode(), 0);
    m.SetLateralMode(1);
    m.SetLateralMode(2);
    m.SetLateralMode(3);
    EXPECT_EQ(take(), (Calls{"HDG", "HDG", "NAV"}));
    m.SetLateralMode(0);
    EXPECT_EQ(take(), Calls{});
    m.SetLateralMode(4);
    EXPECT_EQ(m.VerticalMode(), 6);
    EXPECT_EQ(take(), Calls{"APR"});
}

TEST_F(ApModeStateTest, VerticalModesEngageTheirHolds) {
    ApModeState& m = *core->ApModes();
    for (int mode : {1, 2, 3, 4, 5, 0}) m.SetVerticalMode(mode);
    EXPECT_EQ(take(), (Calls{"ALT", "ALT", "ALT", "SPD", "ALT"}));
    m.SetVerticalMode(6);
    EXPECT_EQ(m.LateralMode(), 4);
    EXPECT_EQ(take(), Calls{"APR"});
}

TEST_F(ApModeStateTest, TargetsPassOnlyInModeOne) {
    ApModeState& m = *core->ApModes();
    m.SetLateralMode(2);
    m.SetVerticalMode(2);
    take();
    m.CommandHeading(100);
    m.CommandAltitude(9000);
    m.CommandVerticalSpeed(-1000);
    m.CommandAirspeed(250);
    EXPECT_EQ(take(), Calls{});
    m.SetLateralMode(1);
    m.SetVerticalMode(1);
    take();
    m.CommandHeading(100);
    m.CommandAltitude(9000);
    m.CommandVerticalSpeed(-1000);
    m.CommandAirspeed(250);
    EXPECT_EQ(take(), (Calls{"heading 100 true", "altitude 9000", "vs -1000", "speed 250"}));
}

TEST_F(ApModeStateTest, EachFrameReadsTheSimulatorThenMovesThePositionHistory) {
    AircraftState& a = *core->Aircraft();
    EXPECT_FLOAT_EQ(a.PreviousPosition().radiusNm, 1.0f);
    EXPECT_NEAR(a.CurrentPosition().latRad * kRadToDeg, 30.0, 1e-4);
    EXPECT_NEAR(a.CurrentPosition().lonRad * kRadToDeg, 135.0, 1e-4);
    core->Update();
    EXPECT_EQ(take(), Calls{"Update"});
    EXPECT_FLOAT_EQ(a.CurrentPosition().latRad, 0.5f);
    EXPECT_NEAR(a.PreviousPosition().latRad * kRadToDeg, 30.0, 1e-4);
    sim->next = PositionTriple{0.5f, 1.0f + 1.0f / kEarthRadiusNm, kEarthRadiusNm};  // 1 nm of arc east at the equator scale
    core->Update();
    const GeoVector t = a.TrackVector();
    EXPECT_NEAR(std::sqrt(t.x * t.x + t.y * t.y + t.z * t.z), std::cos(0.5), 1e-2);  // shorter by cos(latitude)
    EXPECT_NEAR(t.y, 0.0, 1e-3);  // no change of latitude: nothing along the polar axis
    EXPECT_FLOAT_EQ(t.w, 1.0f);
}

TEST_F(ApModeStateTest, TheModeNativesIgnoreOutOfRangeModes) {
    auto call = [&](const char* name, int mode) {
        ScriptValue args = ScriptValue::Pointer(core.get());
        args.append(ScriptValue::Integer(mode));
        ScriptValue results;
        for (const NativeEntry& e : AllNatives())
            if (std::string(e.name) == name) e.function(results, args);
    };
    call("FMScore_setApLMode", 5);
    call("FMScore_setApVMode", -1);
    EXPECT_EQ(take(), Calls{});
    call("FMScore_setApLMode", 4);
    EXPECT_EQ(core->ApModes()->VerticalMode(), 6);
}

}  // namespace
}  // namespace halvex
