// Flight plan speed: the recompute of a 200-entry plan with fly-by turns and subdivided long
// legs, and single edits of such a plan, recompute included.
#include <benchmark/benchmark.h>

#include <cmath>

#include "fms/PerfSpecTable.h"
#include "fms/PlanTestSupport.h"
#include "script/LuaHost.h"

namespace {

using namespace halvex;

// 200 visible entries zigzagging north-west with legs of 20 to 40 nm and turns of about 30 to
// 60 degrees; every twentieth leg is 260 nm long and gets two hidden points.
FlightPlan ZigzagPlan() {
    FlightPlan p;
    double lat = 35, lon = -120;
    for (int i = 0; i < 200; ++i) {
        p.entries.push_back(test::PlainAt(lat, lon, "W" + std::to_string(i)));
        p.entries.back().fixIndex = i;
        const double legNm = i % 20 == 19 ? 260 : 20 + (i * 7) % 21;
        const double courseRad = (i % 2 ? 300.0 + (i % 3) * 10 : 350.0) / 57.29578;
        lat += legNm * std::cos(courseRad) / 60;
        lon += legNm * std::sin(courseRad) / 60 / std::cos(lat / 57.29578);
    }
    p.entries.front().kind = static_cast<int32_t>(EntryKind::OriginAirport);
    p.entries.back().kind = static_cast<int32_t>(EntryKind::DestinationAirport);
    p.origin = 0;
    p.destination = 1;
    return p;
}

struct Fixture {
    SettableAircraft aircraft;
    FlightPlanSet set{&test::BundledDatabase(), nullptr, &aircraft};
    FlightPlan base;
    Fixture() {
        base = ZigzagPlan();
        set.Recompute(base);
        reset();
    }
    // A modification in progress holding the 200-entry plan.
    void reset() {
        set.Active() = base;
        set.Modified() = base;
        set.setModifying(true);
    }
};

void BM_Recompute200(benchmark::State& state) {
    Fixture f;
    FlightPlan& plan = f.set.Modified();
    for (auto _ : state) {
        f.set.Recompute(plan);
        benchmark::DoNotOptimize(plan.totalDistance);
    }
    state.counters["entries"] = static_cast<double>(plan.entries.size());
}
BENCHMARK(BM_Recompute200)->Unit(benchmark::kMicrosecond);

// The same with the bundled performance table giving the turn radius, as in the module.
void BM_Recompute200WithPerformanceTable(benchmark::State& state) {
    PerfSpecTable table;
    {
        test::InDataRoot root;
        LuaHost engine;
        if (table.load(engine, std::string()) != 0) state.SkipWithError("no performance table");
    }
    SettableAircraft aircraft;
    FlightPlanSet set(&test::BundledDatabase(), &table, &aircraft);
    FlightPlan plan = ZigzagPlan();
    for (auto _ : state) {
        set.Recompute(plan);
        benchmark::DoNotOptimize(plan.totalDistance);
    }
    state.counters["radiusNm"] = set.TurnRadiusNm();
}
BENCHMARK(BM_Recompute200WithPerformanceTable)->Unit(benchmark::kMicrosecond);

// Each edit on a fresh copy of the plan; the copy is outside the timing.
template <typename Edit>
void RunEdit(benchmark::State& state, Edit edit) {
    Fixture f;
    for (auto _ : state) {
        state.PauseTiming();
        f.reset();
        state.ResumeTiming();
        benchmark::DoNotOptimize(edit(f.set));
    }
}

const int32_t kFix = 1000;

void BM_InsertLegsWaypoint(benchmark::State& s) { RunEdit(s, [](FlightPlanSet& p) { return p.insertLegsWaypoint(kFix, 100); }); }
void BM_InsertLegsPbd(benchmark::State& s) { RunEdit(s, [](FlightPlanSet& p) { return p.insertLegsPbd(kFix, 100, 90, 10); }); }
void BM_InsertFplnWaypoint(benchmark::State& s) { RunEdit(s, [](FlightPlanSet& p) { return p.insertFplnWaypoint(kFix, 150); }); }
void BM_DeleteLegsWaypoint(benchmark::State& s) { RunEdit(s, [](FlightPlanSet& p) { return p.deleteLegsWaypoint(100); }); }
void BM_DeleteLegsRange(benchmark::State& s) { RunEdit(s, [](FlightPlanSet& p) { return p.deleteLegsWaypoints(150, 100); }); }
void BM_DeleteFplnWaypoint(benchmark::State& s) { RunEdit(s, [](FlightPlanSet& p) { return p.deleteFplnWaypoint(100); }); }
void BM_DirectTo(benchmark::State& s) { RunEdit(s, [](FlightPlanSet& p) { return p.directTo(120); }); }
void BM_SetLegsAltitude(benchmark::State& s) { RunEdit(s, [](FlightPlanSet& p) { return p.setLegsAltitude(199, 12000); }); }
void BM_ClearProcedure(benchmark::State& s) { RunEdit(s, [](FlightPlanSet& p) { return p.clearProcedure(ProcedureSlot::Sid); }); }
void BM_InsertAirwaySegment(benchmark::State& s) {
    // A real airway: its first point put into the plan, the segment to its last point.
    const NavDatabase& db = test::BundledDatabase();
    int32_t airway = 0;
    while (db.GetAirway(airway)->points.size() < 10) ++airway;
    const auto points = db.GetAirway(airway)->points;
    Fixture f;
    f.base.entries[static_cast<size_t>(f.base.FplnEntryIndex(100))].fixIndex = points.front();
    f.set.Recompute(f.base);
    f.reset();
    if (f.set.insertAirwaySegment(points.back(), airway, 100) != 0) s.SkipWithError("segment refused");
    for (auto _ : s) {
        s.PauseTiming();
        f.reset();
        s.ResumeTiming();
        benchmark::DoNotOptimize(f.set.insertAirwaySegment(points.back(), airway, 100));
    }
    s.counters["legs"] = static_cast<double>(points.size() - 1);
}

BENCHMARK(BM_InsertLegsWaypoint)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_InsertLegsPbd)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_InsertFplnWaypoint)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_InsertAirwaySegment)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_DeleteLegsWaypoint)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_DeleteLegsRange)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_DeleteFplnWaypoint)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_DirectTo)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SetLegsAltitude)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ClearProcedure)->Unit(benchmark::kMicrosecond);

}  // namespace
