// What the module exports: the linkage record with the six gauge headers, and the import table the
// host fills with its panel services. Nothing else is visible outside the module.
#include "gauge/GaugeHost.h"
#include "gauge/GaugeRecords.h"
#include "gauge/ModuleState.h"

#define HALVEX_EXPORT __attribute__((visibility("default")))

extern "C" {
HALVEX_EXPORT HalvexImportEntry ImportTable[] = {
    {HALVEX_IMPORT_PANEL_SERVICES, nullptr},
    {0, nullptr},
};
}

namespace halvex {

ModuleState& Module() {
    static ModuleState state;
    return state;
}

const HalvexPanelServices* PanelServices() {
    return static_cast<const HalvexPanelServices*>(ImportTable[0].table);
}

namespace gauge {
namespace {

// The seven standard routines of every gauge hand the first gauge's element list to the host.
HalvexElement* FirstElement() { return FmsCoreBackground(); }

void Query() {
    if (auto* s = PanelServices(); s && s->elementListQuery) s->elementListQuery(FirstElement());
}
void Install(void* argument) {
    if (auto* s = PanelServices(); s && s->elementListInstall) s->elementListInstall(FirstElement(), argument);
}
void Initialize() {
    if (auto* s = PanelServices(); s && s->elementListInitialize) s->elementListInitialize(FirstElement());
}
void Update() {
    if (auto* s = PanelServices(); s && s->elementListUpdate) s->elementListUpdate(FirstElement());
}
void Generate(uint32_t phase) {
    if (auto* s = PanelServices(); s && s->elementListGenerate) s->elementListGenerate(FirstElement(), phase);
}
void Draw() {
    if (auto* s = PanelServices(); s && s->elementListPlot) s->elementListPlot(FirstElement());
}
void Kill() {
    if (auto* s = PanelServices(); s && s->elementListKill) s->elementListKill(FirstElement());
}

void ModuleInit() {}
void ModuleDeinit() {}

HalvexGaugeHeader Header(const char* name, HalvexElement** elements, HalvexMouseRect* rects,
                         HalvexGaugeCallback callback) {
    HalvexGaugeHeader header{};
    header.version = HALVEX_GAUGE_HEADER_VERSION;
    header.name = name;
    header.elementList = elements;
    header.query = Query;
    header.install = Install;
    header.initialize = Initialize;
    header.update = Update;
    header.generate = Generate;
    header.draw = Draw;
    header.kill = Kill;
    header.sizeXmm = 100;
    header.mouseRects = rects;
    header.callback = callback;
    return header;
}

HalvexElement* fmsCoreList[] = {FmsCoreBackground(), nullptr};
HalvexElement* cduList[] = {CduBackground(), nullptr};
HalvexElement* ap85List[] = {Ap85Background(), nullptr};
HalvexElement* ehsiList[] = {EhsiBackground(), nullptr};
HalvexElement* lnavToggleList[] = {LnavToggleBackground(), nullptr};
HalvexElement* lnavButtonList[] = {LnavButtonBackground(), nullptr};

HalvexGaugeHeader fmsCoreGauge = Header("FMScore", fmsCoreList, FmsCoreMouseRects(), FmsCoreCallback);
HalvexGaugeHeader cduGauge = Header("FMS_Zolan", cduList, CduMouseRects(), CduCallback);
HalvexGaugeHeader ap85Gauge = Header("AP85", ap85List, Ap85MouseRects(), Ap85Callback);
HalvexGaugeHeader ehsiGauge = Header("EHSI_Zolan", ehsiList, EhsiMouseRects(), EhsiCallback);
HalvexGaugeHeader lnavToggleGauge = Header("LNAV_TGL", lnavToggleList, LnavToggleMouseRects(), LnavLampCallback);
HalvexGaugeHeader lnavButtonGauge = Header("LNAV_BTN", lnavButtonList, LnavButtonMouseRects(), LnavLampCallback);

}  // namespace
}  // namespace gauge
}  // namespace halvex

extern "C" {
HALVEX_EXPORT HalvexLinkage Linkage = {
    HALVEX_MODULE_ID,
    halvex::gauge::ModuleInit,
    halvex::gauge::ModuleDeinit,
    0,
    0,
    HALVEX_MODULE_VERSION,
    {&halvex::gauge::fmsCoreGauge, &halvex::gauge::cduGauge, &halvex::gauge::ap85Gauge, &halvex::gauge::ehsiGauge,
     &halvex::gauge::lnavToggleGauge, &halvex::gauge::lnavButtonGauge, nullptr},
};
}
