// The module-wide state every gauge callback and mouse handler shares: the one FMS core, the EHSI
// renderer and the CDU's last drawing scale. All of it lives on the host's panel thread.
#pragma once

#include <cstdint>
#include <memory>

#include "display/EhsiRenderer.h"
#include "gauge/EhsiCoreSource.h"
#include "gauge/GaugeHost.h"

namespace halvex {

class FmsCore;

// The EHSI gauge's renderer with the view of the core it reads.
struct EhsiGauge {
    explicit EhsiGauge(FmsCore& core) : source(core), renderer(source) {}
    EhsiCoreSource source;
    EhsiRenderer renderer;
};

struct ModuleState {
    FmsCore* core = nullptr;
    int32_t coreReady = 0;  // 1 once connect has built the core (even when that failed)
    EhsiGauge* ehsi = nullptr;
    float cduScaleX = 0, cduScaleY = 0;
    int32_t cduFrameCounter = 0;

    // The core is usable only when it exists and connect has finished.
    FmsCore* ReadyCore() const { return coreReady ? core : nullptr; }
};

ModuleState& Module();

// The panel services the host put into the import table (null until it did).
const HalvexPanelServices* PanelServices();

}  // namespace halvex
