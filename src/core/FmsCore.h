// FmsCore: the one owner of the FMS while a panel is connected: configuration, CDU unit and
// script, performance table, and (as they arrive) the simulator link, aircraft state, autopilot
// modes, flight-plan model and navigation database.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>

#include "core/AircraftState.h"
#include "core/AircraftStateSource.h"
#include "core/ApModeState.h"
#include "core/Configuration.h"
#include "core/GuidanceLink.h"
#include "fms/FlightGuidance.h"
#include "fms/FlightPlanModel.h"
#include "fms/PerfSpecTable.h"
#include "navdb/NavDatabase.h"
#include "script/CduUnit.h"
#include "script/NativeEntry.h"
#include "script/ScriptHost.h"
#include "simlink/SimVariables.h"

namespace halvex {

// The simulator link for an interface type ("FSIF_TYPE"): 1 the FDS connection, anything else
// the data server.
std::unique_ptr<SimVariables> MakeSimulatorLink(int32_t interfaceType);

// What the core is built from: the CDU script's engine, the natives it registers and (for tests)
// the simulator link; MakeSimulatorLink when that is empty.
struct CoreDependencies {
    std::function<std::unique_ptr<ScriptHost>()> makeCduEngine;
    NativeTable natives;
    std::function<std::unique_ptr<SimVariables>(int32_t interfaceType)> makeSimulator = nullptr;
};

class FmsCore {
public:
    static constexpr const char* kIniNotLoaded = "INI FILE NOT LOADED\n";
    static constexpr const char* kInitFailed = "INITILIZE FAILED\n";
    static constexpr float kCduOriginX = 72, kCduOriginY = 51, kCduWidth = 360, kCduHeight = 256;

    // Builds every member in order, then makes the script's first entry call, so natives called
    // from that first call find a complete core. Paths are relative to the working directory.
    explicit FmsCore(const CoreDependencies& deps);
    virtual ~FmsCore();
    FmsCore(const FmsCore&) = delete;
    FmsCore& operator=(const FmsCore&) = delete;

    virtual void Update();  // once per simulation frame

    SimVariables* Simulator() { return simulator_.get(); }
    AircraftState* Aircraft() { return aircraft_.get(); }
    ApModeState* ApModes() { return apModes_.get(); }
    FlightPlanModel* Model() { return model_.get(); }
    FlightGuidance* Guidance() { return guidance_.get(); }
    CduUnit* Cdu() { return cdu_.get(); }
    NavDatabase* Database() { return database_.get(); }  // loaded only when InitOk()
    PerfSpecTable& Performance() { return performance_; }
    const Configuration& Config() const { return config_; }

    int SetCduOrigin(float x, float y);
    int SetCduSize(float width, float height);
    int SetCduScale(float scaleX, float scaleY);
    // The CDU gauge's pre-draw: runs a CDU cycle when due. Returns true when the screen was
    // repainted (the caller then renders the grid).
    bool DrawCdu();
    // The same on a device context: when due, the grid is painted onto it at the screen's
    // origin and size times the scale. The surface must be bound to it. Returns 0.
    int DrawCdu(DeviceContext deviceContext);
    // One CDU cycle regardless of the cadence (tools and tests): the script when all is well,
    // else the start-up message.
    void RunCduCycle();

    int LoadConfiguration();
    int LoadPerformanceSpec();

    bool InitOk() const { return initOk_; }
    bool ConfigLoaded() const { return configLoaded_; }

private:
    // The flight-plan guidance of each frame: sequencing and lateral guidance, then the vertical
    // path and vertical guidance, on the active plan.
    void UpdateGuidance();

    // Declared in teardown order, which the destructor follows explicitly.
    std::unique_ptr<SimVariables> simulator_;
    std::unique_ptr<AircraftState> aircraft_;
    std::unique_ptr<ApModeState> apModes_;
    std::unique_ptr<AircraftStateSource> aircraftSource_;  // the plan's view of aircraft_
    std::unique_ptr<AircraftStateReader> guidanceAircraft_;  // the guidance's view of aircraft_
    std::unique_ptr<ApModeCommands> guidanceAutopilot_;     // and of apModes_
    std::unique_ptr<FlightGuidance> guidance_;
    std::unique_ptr<FlightPlanModel> model_;
    std::unique_ptr<CduUnit> cdu_;
    std::unique_ptr<NavDatabase> database_;
    bool initOk_ = false;
    bool configLoaded_ = false;
    Configuration config_;
    std::unique_ptr<ScriptHost> configEngine_;
    PerfSpecTable performance_;
    uint32_t frameCounter_ = 15;  // the first draw runs the CDU
};

}  // namespace halvex
