// Mouse rectangle tables of the six gauges and their handlers. Each handler learns which
// rectangle was hit from its place in the table, so one handler serves a whole key family.
#include <array>
#include <cstddef>

#include "core/FmsCore.h"
#include "display/EhsiRenderer.h"
#include "gauge/CduKeyLayout.h"
#include "gauge/GaugeRecords.h"
#include "gauge/ModuleState.h"

namespace halvex::gauge {
namespace {

constexpr uint32_t kParentHelpId = 0xAB0D;

constexpr HalvexMouseRect Parent() {
    return {HALVEX_MOUSE_PARENT, 0, 0, 0, 0, HALVEX_CURSOR_NONE, kParentHelpId, 0, 0, nullptr, nullptr};
}
constexpr HalvexMouseRect Child(int32_t x, int32_t y, int32_t w, int32_t h, HalvexMouseHandler handler,
                                int32_t cursor = HALVEX_CURSOR_HAND, uint32_t flags = HALVEX_MOUSE_LEFT_SINGLE) {
    return {HALVEX_MOUSE_CHILD, x, y, w, h, cursor, 0, flags, 0, handler, nullptr};
}
constexpr HalvexMouseRect EndOfParent() { return {HALVEX_MOUSE_END_OF_PARENT, 0, 0, 0, 0, 0, 0, 0, 0, nullptr, nullptr}; }
constexpr HalvexMouseRect EndOfTable() { return {HALVEX_MOUSE_END, 0, 0, 0, 0, 0, 0, 0, 0, nullptr, nullptr}; }

// A table of N children: parent first, then the children, then the two end records.
template <size_t N>
struct RectTable {
    std::array<HalvexMouseRect, N + 3> rects;
    // The child's index (0 based) of a rectangle of this table, or -1.
    int IndexOf(const HalvexMouseRect* rect) const {
        const std::ptrdiff_t at = rect - &rects[1];
        return at >= 0 && at < static_cast<std::ptrdiff_t>(N) ? static_cast<int>(at) : -1;
    }
};

template <size_t N>
constexpr RectTable<N> MakeTable(const std::array<HalvexMouseRect, N>& children) {
    RectTable<N> table{};
    table.rects[0] = Parent();
    for (size_t i = 0; i < N; ++i) table.rects[i + 1] = children[i];
    table.rects[N + 1] = EndOfParent();
    table.rects[N + 2] = EndOfTable();
    return table;
}

// ---- CDU keys ----------------------------------------------------------------------------------

constexpr const auto& kCduKeys = kCduKeyLayout;

int32_t PushCduKey(HalvexMouseRect* rect, uint32_t);

constexpr RectTable<kCduKeyCount> MakeCduTable() {
    std::array<HalvexMouseRect, kCduKeyCount> children{};
    for (size_t i = 0; i < kCduKeyCount; ++i)
        children[i] = Child(kCduKeys[i].x, kCduKeys[i].y, kCduKeys[i].width, kCduKeys[i].height, PushCduKey);
    return MakeTable(children);
}
RectTable<kCduKeyCount> cduTable = MakeCduTable();

// A click while no core exists is dropped: there is no key buffer to hold it.
int32_t PushCduKey(HalvexMouseRect* rect, uint32_t) {
    const int index = cduTable.IndexOf(rect);
    FmsCore* core = Module().ReadyCore();
    if (index >= 0 && core && core->Cdu()) core->Cdu()->PushKey(kCduKeys[index].code);
    return 0;
}

// ---- AP85 buttons ------------------------------------------------------------------------------

enum class Ap85Action { Lateral1, Lateral2, Vertical1, Vertical2, Vertical6, FlightDirector, Master };
constexpr Ap85Action kAp85Actions[] = {Ap85Action::Lateral1,  Ap85Action::Lateral2,       Ap85Action::Vertical1,
                                       Ap85Action::Vertical2, Ap85Action::Vertical6,      Ap85Action::FlightDirector,
                                       Ap85Action::Master};

int32_t Ap85Button(HalvexMouseRect* rect, uint32_t);

RectTable<7> ap85Table = MakeTable<7>({
    Child(54, 28, 48, 38, Ap85Button), Child(112, 28, 48, 38, Ap85Button), Child(54, 102, 48, 38, Ap85Button),
    Child(112, 102, 48, 38, Ap85Button), Child(227, 28, 48, 38, Ap85Button), Child(227, 102, 48, 38, Ap85Button),
    Child(398, 28, 48, 38, Ap85Button),
});

int32_t Ap85Button(HalvexMouseRect* rect, uint32_t) {
    const int index = ap85Table.IndexOf(rect);
    FmsCore* core = Module().ReadyCore();
    if (index < 0 || !core || !core->ApModes()) return 0;
    ApModeState& modes = *core->ApModes();
    switch (kAp85Actions[index]) {
        case Ap85Action::Lateral1: modes.SetLateralMode(1); break;
        case Ap85Action::Lateral2: modes.SetLateralMode(2); break;
        case Ap85Action::Vertical1: modes.SetVerticalMode(1); break;
        case Ap85Action::Vertical2: modes.SetVerticalMode(2); break;
        case Ap85Action::Vertical6: modes.SetVerticalMode(6); break;
        case Ap85Action::FlightDirector: modes.SetFlightDirector(!modes.FlightDirector()); break;
        case Ap85Action::Master: modes.SetAutopilotMaster(!modes.AutopilotMaster()); break;
    }
    return 0;
}

// ---- LNAV toggle and button --------------------------------------------------------------------

int32_t ToggleLnav(HalvexMouseRect*, uint32_t) {
    FmsCore* core = Module().ReadyCore();
    if (!core || !core->ApModes()) return 0;
    ApModeState& modes = *core->ApModes();
    modes.SetLateralMode(modes.LateralMode() == 1 ? 0 : 1);
    return 0;
}

RectTable<1> lnavToggleTable = MakeTable<1>({Child(11, 11, 52, 52, ToggleLnav)});
RectTable<1> lnavButtonTable = MakeTable<1>({Child(4, 4, 49, 38, ToggleLnav)});

// ---- EHSI controls -----------------------------------------------------------------------------

constexpr uint32_t kKnobFlags = HALVEX_MOUSE_WHEEL_DOWN | HALVEX_MOUSE_WHEEL_UP | HALVEX_MOUSE_MIDDLE_SINGLE;
constexpr int32_t kEhsiButtonCodes[6] = {1, 2, 5, 11, 12, 13};

int32_t EhsiButton(HalvexMouseRect* rect, uint32_t);
int32_t EhsiKnob(HalvexMouseRect* rect, uint32_t flags);

RectTable<8> ehsiTable = MakeTable<8>({
    Child(3, 74, 44, 44, EhsiButton), Child(3, 137, 44, 44, EhsiButton), Child(3, 326, 44, 44, EhsiButton),
    Child(446, 105, 44, 44, EhsiButton), Child(446, 231, 44, 44, EhsiButton), Child(446, 292, 44, 44, EhsiButton),
    Child(1, 405, 50, 40, EhsiKnob, HALVEX_CURSOR_UP_ARROW, kKnobFlags),
    Child(442, 405, 50, 40, EhsiKnob, HALVEX_CURSOR_UP_ARROW, kKnobFlags),
});

void SendEhsiCode(int32_t code) {
    if (Module().ehsi) Module().ehsi->renderer.PushCode(code);  // no renderer yet: nothing to steer
}

int32_t EhsiButton(HalvexMouseRect* rect, uint32_t) {
    const int index = ehsiTable.IndexOf(rect);
    if (index >= 0 && index < 6) SendEhsiCode(kEhsiButtonCodes[index]);
    return 0;
}

// Course knob 41/42/43, heading knob 44/45/46 for wheel down, wheel up and the middle button.
int32_t EhsiKnob(HalvexMouseRect* rect, uint32_t flags) {
    const int index = ehsiTable.IndexOf(rect);
    if (index < 6) return 0;
    const int32_t base = index == 6 ? 41 : 44;
    if (flags == HALVEX_MOUSE_WHEEL_DOWN) SendEhsiCode(base);
    else if (flags == HALVEX_MOUSE_WHEEL_UP) SendEhsiCode(base + 1);
    else if (flags == HALVEX_MOUSE_MIDDLE_SINGLE) SendEhsiCode(base + 2);
    return 0;
}

RectTable<0> fmsCoreTable = MakeTable<0>({});

}  // namespace

HalvexMouseRect* FmsCoreMouseRects() { return fmsCoreTable.rects.data(); }
HalvexMouseRect* CduMouseRects() { return cduTable.rects.data(); }
HalvexMouseRect* Ap85MouseRects() { return ap85Table.rects.data(); }
HalvexMouseRect* EhsiMouseRects() { return ehsiTable.rects.data(); }
HalvexMouseRect* LnavToggleMouseRects() { return lnavToggleTable.rects.data(); }
HalvexMouseRect* LnavButtonMouseRects() { return lnavButtonTable.rects.data(); }

}  // namespace halvex::gauge
