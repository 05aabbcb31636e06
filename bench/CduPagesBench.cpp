// One CDU cycle of the busiest pages on a 40-leg plan: the last LEGS page, and VNAV with a
// vertical path whose points the bench supplies (the guidance natives are the bench's own).
#include <benchmark/benchmark.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "core/FmsCore.h"
#include "natives/NativeRegistry.h"
#include "script/CduEngine.h"

namespace {

using namespace halvex;

FmsCore* g_core = nullptr;
constexpr int kPathPoints = 12;

int realResult(ScriptValue& r, double v) {
    r.append(ScriptValue::Real(v));
    return 1;
}
int dtg(ScriptValue& r, const ScriptValue&) { return realResult(r, 12.3); }
int destDist(ScriptValue& r, const ScriptValue&) { return realResult(r, 250.0); }
int xtk(ScriptValue& r, const ScriptValue&) { return realResult(r, 0.2); }
int vxtk(ScriptValue& r, const ScriptValue&) { return realResult(r, -40.0); }
int pathSize(ScriptValue& r, const ScriptValue&) {
    r.append(ScriptValue::Integer(kPathPoints));
    return 1;
}
int pathData(ScriptValue&, const ScriptValue& a) {
    if (a.length() < 2) return 0;
    const int32_t i = a.at(1)->asInteger();
    ScriptHost& engine = g_core->Cdu()->Engine();
    const ScriptValue values[] = {ScriptValue::Real(30000.0 - 2000 * i), ScriptValue::String(i % 2 ? "BOD" : "EOD"),
                                  ScriptValue::Real(47.0 - 0.1 * i), ScriptValue::Real(-122.3), ScriptValue::Integer(i * 3)};
    for (int k = 0; k < 5; ++k) engine.SetValue(MakePath("g_multiReturnVals", k), values[k]);
    return 0;
}

std::vector<NativeEntry> natives() {
    std::vector<NativeEntry> all(AllNatives().begin(), AllNatives().end());
    all.insert(all.end(), {{"FMScore_getDTG", dtg}, {"FMScore_getDestDist", destDist}, {"FMScore_getLxtkError", xtk},
                           {"FMScore_getVxtk", vxtk}, {"FMScore_getVPathSize", pathSize}, {"FMScore_getVPathData", pathData}});
    return all;
}

// The bundled tree's core with an executed plan of 40 legs: KSEA, 38 fixes near it, KPDX.
std::unique_ptr<FmsCore> fortyLegCore(const std::vector<NativeEntry>& table) {
    std::filesystem::current_path(std::string(HALVEX_SOURCE_DIR) + "/data");
    auto core = std::make_unique<FmsCore>(CoreDependencies{MakeCduScriptHost, table});
    g_core = core.get();
    FlightPlanSet& plans = core->Model()->Plans();
    plans.setOrigin("KSEA");
    plans.setDestination("KPDX");
    const NavDatabase& db = *core->Database();
    int inserted = 0;
    for (int32_t i = 0; i < db.WaypointCount() && inserted < 38; ++i) {
        const NavWaypoint* w = db.GetWaypoint(i);
        if (w->kind != WaypointKind::Fix || w->lat < 0.80f || w->lat > 0.83f || w->lon < -2.14f || w->lon > -2.12f) continue;
        if (plans.insertLegsWaypoint(i, plans.Current().LegsCount() - 1) == 0) ++inserted;
    }
    core->Cdu()->PushKey(-19);  // EXEC
    core->RunCduCycle();
    return core;
}

void showPage(FmsCore& core, std::initializer_list<int32_t> keys) {
    for (int32_t k : keys) core.Cdu()->PushKey(k);
    while (core.Cdu()->KeyCount() > 0) core.RunCduCycle();
}

void CduCycleLegs40(benchmark::State& state) {
    const auto table = natives();
    auto core = fortyLegCore(table);
    showPage(*core, {-13, -17});  // LEGS, then PREV PAGE: the last page
    state.counters["legs"] = core->Model()->Plans().Active().LegsCount();
    for (auto _ : state) core->RunCduCycle();
}
BENCHMARK(CduCycleLegs40)->Unit(benchmark::kMicrosecond)->Repetitions(5)->ReportAggregatesOnly(true);

void CduCycleVnav40(benchmark::State& state) {
    const auto table = natives();
    auto core = fortyLegCore(table);
    showPage(*core, {-14});
    state.counters["legs"] = core->Model()->Plans().Active().LegsCount();
    state.counters["entries"] = static_cast<double>(core->Model()->Plans().Active().entries.size());
    for (auto _ : state) core->RunCduCycle();
}
BENCHMARK(CduCycleVnav40)->Unit(benchmark::kMicrosecond)->Repetitions(5)->ReportAggregatesOnly(true);

void CduCycleProg40(benchmark::State& state) {
    const auto table = natives();
    auto core = fortyLegCore(table);
    showPage(*core, {-15});
    for (auto _ : state) core->RunCduCycle();
}
BENCHMARK(CduCycleProg40)->Unit(benchmark::kMicrosecond)->Repetitions(5)->ReportAggregatesOnly(true);

}  // namespace
