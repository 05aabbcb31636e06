// Selecting terminal procedures with the airports' files already loaded: clear, validate,
// insert and the recompute that follows, on a short plan and on a 200-entry one.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>

#include "fms/FlightPlanModel.h"
#include "fms/ProcedureSelection.h"
#include "navdb/NavDatabase.h"

namespace halvex {
namespace {

const std::string kData = std::string(HALVEX_SOURCE_DIR) + "/data/";

const NavDatabase& Database() {
    static NavDatabase* db = [] {
        auto* d = new NavDatabase();
        d->LoadFrom(kData + "FMCWP/NavData/");
        return d;
    }();
    return *db;
}

int32_t RunwayIndex(const char* icao, const char* ident) {
    const NavAirport* a = Database().GetAirport(Database().FindAirport(icao));
    for (size_t i = 0; a && i < a->runways.size(); ++i)
        if (a->runways[i].Ident() == ident) return static_cast<int32_t>(i);
    return -1;
}

// KSEA 16L to KPDX 10R, optionally with extra route waypoints between Seattle and Portland.
void BuildPlan(FlightPlanSet& plans, int extraWaypoints) {
    std::filesystem::current_path(kData);  // procedure files are read relative to the simulator folder
    plans.setOrigin("KSEA");
    plans.setDestination("KPDX");
    plans.setOriginRunway(RunwayIndex("KSEA", "16L"));
    plans.setDestinationRunway(RunwayIndex("KPDX", "10R"));
    const auto& w = Database().Waypoints();
    int added = 0;
    for (size_t i = 0; i < w.size() && added < extraWaypoints; ++i) {
        const float latDeg = w[i].lat * 57.29578f, lonDeg = w[i].lon * 57.29578f;
        if (latDeg > 45.6f && latDeg < 47.4f && lonDeg > -123.0f && lonDeg < -122.0f)
            added += plans.insertFplnWaypoint(static_cast<int32_t>(i), plans.Modified().FplnCount()) == 0;
    }
}

void SelectSid(benchmark::State& state) {
    SettableAircraft aircraft;
    FlightPlanSet plans(&Database(), nullptr, &aircraft);
    BuildPlan(plans, static_cast<int>(state.range(0)));
    ProcedureSelections lists(plans);
    int32_t sid = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(lists[ProcedureSlot::Sid].select(sid));
        sid = (sid + 1) % 4;
    }
    state.counters["entries"] = static_cast<double>(plans.Modified().entries.size());
}
BENCHMARK(SelectSid)->Arg(0)->Arg(190)->Unit(benchmark::kMicrosecond);

// The whole arrival: approach, its transition, STAR and its transition.
void SelectArrival(benchmark::State& state) {
    SettableAircraft aircraft;
    FlightPlanSet plans(&Database(), nullptr, &aircraft);
    BuildPlan(plans, static_cast<int>(state.range(0)));
    ProcedureSelections lists(plans);
    for (auto _ : state) {
        benchmark::DoNotOptimize(lists[ProcedureSlot::Approach].select(0));
        benchmark::DoNotOptimize(lists[ProcedureSlot::ApproachTransition].select(1));
        benchmark::DoNotOptimize(lists[ProcedureSlot::Star].select(0));
        benchmark::DoNotOptimize(lists[ProcedureSlot::StarTransition].select(1));
    }
    state.counters["entries"] = static_cast<double>(plans.Modified().entries.size());
}
BENCHMARK(SelectArrival)->Arg(0)->Arg(190)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace halvex
