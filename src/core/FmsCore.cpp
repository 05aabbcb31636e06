#include "core/FmsCore.h"

#include "display/CduRenderer.h"
#include "script/LuaHost.h"

namespace halvex {

FmsCore::FmsCore(const CoreDependencies& deps) {
    cdu_ = std::make_unique<CduUnit>(this, deps.makeCduEngine(), CduUnit::kScriptFile, deps.natives);
    configEngine_ = std::make_unique<LuaHost>();
    configLoaded_ = LoadConfiguration() != -1;
    simulator_ = deps.makeSimulator ? deps.makeSimulator(config_.interfaceType) : MakeSimulatorLink(config_.interfaceType);
    aircraft_ = std::make_unique<AircraftState>(*this);
    apModes_ = std::make_unique<ApModeState>(*this);
    aircraftSource_ = std::make_unique<AircraftStateSource>(*aircraft_);
    guidanceAircraft_ = std::make_unique<AircraftStateReader>(*aircraft_);
    guidanceAutopilot_ = std::make_unique<ApModeCommands>(*apModes_);
    guidance_ = std::make_unique<FlightGuidance>(&performance_, *guidanceAircraft_, *guidanceAutopilot_);
    model_ = std::make_unique<FlightPlanModel>(&performance_, aircraftSource_.get(), guidance_.get());
    guidance_->AttachPlans(&model_->Plans());
    database_ = std::make_unique<NavDatabase>();  // loaded below, only with the performance table
    model_->AttachDatabase(database_.get());
    DrawSurface& surface = cdu_->Surface();
    surface.fastBlt = config_.fastBlt;
    surface.smoothHigh = config_.smoothHigh;
    surface.interpolateHigh = config_.interpolateHigh;
    initOk_ = LoadPerformanceSpec() == 0;
    if (initOk_) database_->Load();
    SetCduOrigin(kCduOriginX, kCduOriginY);
    SetCduSize(kCduWidth, kCduHeight);
    cdu_->Start();
}

std::unique_ptr<SimVariables> MakeSimulatorLink(int32_t interfaceType) {
    if (interfaceType == 1) return std::make_unique<FdsSimVariables>();
    return std::make_unique<IpcSimVariables>();
}

FmsCore::~FmsCore() {
    // Teardown order: simulator link (closing its connection), aircraft state, autopilot modes,
    // flight-plan model, CDU unit (with its engine), navigation database, configuration engine.
    simulator_.reset();
    aircraft_.reset();
    apModes_.reset();
    model_.reset();
    guidance_.reset();
    guidanceAutopilot_.reset();
    guidanceAircraft_.reset();
    aircraftSource_.reset();
    cdu_.reset();
    database_.reset();
    configEngine_.reset();
}

int FmsCore::LoadConfiguration() { return config_.load(*configEngine_); }

int FmsCore::LoadPerformanceSpec() {
    // First candidate: the aircraft's own folder inside the simulator folder.
    std::string aircraftDirectory;
    if (simulator_ && simulator_->IsConnected()) aircraftDirectory = simulator_->SimulatorPath() + simulator_->AircraftFolder();
    return performance_.load(*configEngine_, aircraftDirectory);
}

void FmsCore::Update() {
    if (!initOk_) {
        cdu_->Grid().WriteMessage(kInitFailed);
        return;
    }
    if (!configLoaded_) {
        cdu_->Grid().Clear();
        cdu_->Grid().WriteMessage(kIniNotLoaded);
        return;
    }
    const bool fresh = simulator_->Update() == 0;  // a failed read leaves the cached values as they were
    apModes_->Reserved();
    aircraft_->Update();
    // Stale values would steer from where the aircraft was: guidance keeps its last outputs until
    // the simulator answers again.
    if (fresh) UpdateGuidance();
}

void FmsCore::UpdateGuidance() {
    if (guidance_ && model_) guidance_->Update(model_->Plans().Active());
}

int FmsCore::SetCduOrigin(float x, float y) {
    if (!cdu_) return -1;
    cdu_->Surface().Placement().x = x;
    cdu_->Surface().Placement().y = y;
    return 0;
}

int FmsCore::SetCduSize(float width, float height) {
    if (!cdu_) return -1;
    cdu_->Surface().Placement().width = width;
    cdu_->Surface().Placement().height = height;
    return 0;
}

int FmsCore::SetCduScale(float scaleX, float scaleY) {
    if (!cdu_) return -1;
    cdu_->Surface().Placement().scaleX = scaleX;
    cdu_->Surface().Placement().scaleY = scaleY;
    return 0;
}

void FmsCore::RunCduCycle() {
    if (!initOk_) return;  // the grid keeps the message Update wrote
    if (configLoaded_) {
        cdu_->ScriptCycle();
    } else {
        cdu_->Grid().Clear();
        cdu_->Grid().WriteMessage(kIniNotLoaded);
    }
}

namespace {
constexpr int kPageChangesPerDraw = 4;  // bounds a script whose pages keep switching
}  // namespace

bool FmsCore::DrawCdu() {
    if (!initOk_) return true;  // shown as it is, without a cycle and without counting
    const bool due = frameCounter_ % 15 == 0 || cdu_->KeyCount() > 0;
    if (due) {
        // A key that opens another page shows that page on this frame, not at the next periodic
        // cycle up to 15 frames later; keys left for the new page are taken now too.
        for (int pass = 0; pass < kPageChangesPerDraw; ++pass) {
            const std::string page = cdu_->EntryPoint();
            RunCduCycle();
            if (cdu_->EntryPoint() == page) break;
        }
    }
    ++frameCounter_;
    return due;
}

}  // namespace halvex

namespace halvex {

int FmsCore::DrawCdu(DeviceContext deviceContext) {
    if (!DrawCdu()) return 0;  // nothing is painted on the draws in between
    DrawSurface& surface = cdu_->Surface();
    if (surface.Target() != deviceContext) surface.BindTarget(deviceContext);
    const SurfacePlacement& p = surface.Placement();
    RenderCdu(surface, p.x * p.scaleX, p.y * p.scaleY, p.width * p.scaleX, p.height * p.scaleY);
    return 0;
}

}  // namespace halvex
