// The gauge callbacks: the FMScore gauge builds, runs and destroys the core; the CDU and EHSI
// gauges draw; the AP85 and the two LNAV gauges light their lamps from the autopilot modes.
#include <memory>
#include <new>

#include "core/FmsCore.h"
#include "display/EhsiRenderer.h"
#include "gauge/GaugeRecords.h"
#include "gauge/ModuleState.h"
#include "gauge/StandardCore.h"

namespace halvex::gauge {
namespace {

constexpr float kCduScaleX = 0.002f;          // 1 / 500
constexpr float kCduScaleY = 0.0017889087f;   // 1 / 559
constexpr float kEhsiScale = 0.0020325202f;   // 1 / 492

void Show(HalvexElement* element) { element->imageFlags &= ~(HALVEX_IMAGE_HIDDEN | HALVEX_IMAGE_COMPOSED); }
void Hide(HalvexElement* element) { element->imageFlags |= HALVEX_IMAGE_HIDDEN; }
void Recompose(HalvexElement* element) { element->imageFlags &= ~HALVEX_IMAGE_COMPOSED; }

HalvexElement* Background(HalvexGaugeHeader* gauge) { return gauge->elementList[0]; }

void PublishScreen(CduUnit& cdu) {
    const HalvexPanelServices* services = PanelServices();
    if (!services || !services->cduScreen) return;
    const CduTextGrid& grid = cdu.Grid();
    services->cduScreen(grid.Cells().data(), CduTextGrid::kRows, CduTextGrid::kColumns, cdu.Surface().Palette().data());
}

void DestroyEhsi() {
    delete Module().ehsi;
    Module().ehsi = nullptr;
}

DeviceContext ContextOf(HalvexElement* element) { return static_cast<DeviceContext>(element->deviceContext); }

// The start-up picture is on screen exactly while the core loads.
void ConnectCore() {
    ModuleState& module = Module();
    const HalvexPanelServices* services = PanelServices();
    void* owner = services && services->activeWindow ? services->activeWindow() : nullptr;
    void* picture = owner && services->showStartupPicture ? services->showStartupPicture(owner, kStartupPicture) : nullptr;
    module.core = MakeStandardCore().release();
    module.coreReady = 1;
    if (picture && services->closeStartupPicture) services->closeStartupPicture(picture);
    if (services && services->coreChanged) services->coreChanged(module.core);
}

}  // namespace

uint32_t FmsCoreCallback(HalvexGaugeHeader*, int32_t service, uint32_t) {
    ModuleState& module = Module();
    switch (service) {
        case HALVEX_SERVICE_CONNECT:
            if (!module.core) ConnectCore();
            break;
        case HALVEX_SERVICE_PRE_UPDATE:
            if (FmsCore* core = module.ReadyCore()) core->Update();
            break;
        case HALVEX_SERVICE_DISCONNECT:
            if (module.coreReady) {
                DestroyEhsi();  // it reads the core: it must not outlive it
                if (const HalvexPanelServices* services = PanelServices(); services && services->coreChanged)
                    services->coreChanged(nullptr);
                delete module.core;
                module.core = nullptr;
            }
            module.coreReady = 0;
            break;
        default: break;
    }
    return 0;
}

uint32_t CduCallback(HalvexGaugeHeader* gauge, int32_t service, uint32_t) {
    if (service != HALVEX_SERVICE_PRE_DRAW) return static_cast<uint32_t>(service);
    ModuleState& module = Module();
    HalvexElement* background = Background(gauge);
    ++module.cduFrameCounter;
    if (FmsCore* core = module.ReadyCore(); core && core->Cdu()) {
        module.cduScaleX = static_cast<float>(background->imageWidth) * kCduScaleX;
        module.cduScaleY = static_cast<float>(background->imageHeight) * kCduScaleY;
        core->Cdu()->Surface().BindTarget(ContextOf(background));
        core->SetCduScale(module.cduScaleX, module.cduScaleY);
        core->DrawCdu(ContextOf(background));
        PublishScreen(*core->Cdu());
    }
    Recompose(background);
    return 0;
}

uint32_t EhsiCallback(HalvexGaugeHeader* gauge, int32_t service, uint32_t) {
    ModuleState& module = Module();
    switch (service) {
        case HALVEX_SERVICE_PRE_DRAW: {
            HalvexElement* background = Background(gauge);
            uint32_t result = 0;
            if (FmsCore* core = module.ReadyCore()) {
                if (!module.ehsi) module.ehsi = new EhsiGauge(*core);
                DrawSurface& surface = module.ehsi->renderer.Surface();
                surface.BindTarget(ContextOf(background));
                surface.SetScale(static_cast<float>(background->imageWidth) * kEhsiScale,
                                 static_cast<float>(background->imageHeight) * kEhsiScale);
                result = static_cast<uint32_t>(module.ehsi->renderer.Draw());
            }
            Recompose(background);
            return result;
        }
        case HALVEX_SERVICE_PRE_UPDATE:
            return module.ehsi ? static_cast<uint32_t>(module.ehsi->renderer.Update()) : 0;
        case HALVEX_SERVICE_DISCONNECT:
            DestroyEhsi();
            return 0;
        default: return static_cast<uint32_t>(service);
    }
}

uint32_t Ap85Callback(HalvexGaugeHeader* gauge, int32_t, uint32_t) {
    FmsCore* core = Module().ReadyCore();
    if (!core || !core->ApModes()) return 0;
    ApModeState& modes = *core->ApModes();
    for (int position = 1; position <= kAnnunciatorCount; ++position) Hide(Ap85Annunciator(position));
    auto show = [](int position) { Ap85Annunciator(position)->imageFlags &= ~HALVEX_IMAGE_HIDDEN; };
    switch (modes.LateralMode()) {
        case 1: show(1); break;
        case 2: show(3); break;
        case 4: show(7); break;
        default: break;
    }
    switch (modes.VerticalMode()) {
        case 1: show(2); break;
        case 2: show(4); break;
        default: break;
    }
    if (modes.AutopilotMaster()) show(11);
    if (modes.FlightDirector()) show(8);
    Recompose(Background(gauge));
    return 0;
}

// LNAV_TGL and LNAV_BTN: the lit picture replaces the face while LNAV (lateral mode 1) is engaged.
uint32_t LnavLampCallback(HalvexGaugeHeader* gauge, int32_t, uint32_t) {
    FmsCore* core = Module().ReadyCore();
    if (!core || !core->ApModes()) return 0;
    HalvexElement* face = Background(gauge);
    HalvexElement* lit = face->children[0];
    if (core->ApModes()->LateralMode() == 1) {
        Hide(face);
        Show(lit);
    } else {
        Hide(lit);
        Show(face);
    }
    return 0;
}

}  // namespace halvex::gauge
