// One guidance cycle (lateral and vertical, no exchanges) on a 200-entry plan, with the bundled
// performance table: the aircraft on the first leg (the longest sums) and later in the flight.
#include <benchmark/benchmark.h>

#include <filesystem>

#include "fms/FlightGuidance.h"
#include "script/LuaHost.h"

namespace halvex {
namespace {

class FixedAircraft : public GuidanceAircraft {
public:
    AircraftData data;
    bool Read(AircraftData& out) override {
        out = data;
        return true;
    }
};

class NoAutopilot : public GuidanceAutopilot {
public:
    void CommandHeading(float) override {}
    void CommandAltitude(float) override {}
    void CommandVerticalSpeed(float) override {}
    void CommandAirspeed(float) override {}
};

// 200 entries zigzagging east along the equator, 20 nm apart, origin and destination at the ends.
FlightPlan LongPlan(const FlightPlanSet& set) {
    FlightPlan plan;
    for (int i = 0; i < 200; ++i) {
        WaypointEntry e;
        e.position = MakeSurfacePoint((i % 2 ? 3.0f : -3.0f) / 3437.7f, i * 20.0f / 3437.7f);
        e.onLegs = e.onFpln = 1;
        e.name = "W" + std::to_string(i);
        if (i == 120) e.altitude = 9000, e.kind = static_cast<int32_t>(EntryKind::StarLeg);
        plan.entries.push_back(e);
    }
    plan.entries.front().kind = static_cast<int32_t>(EntryKind::OriginAirport);
    plan.entries.back().kind = static_cast<int32_t>(EntryKind::DestinationAirport);
    set.Recompute(plan);
    plan.origin = 0;
    plan.destination = 1;
    return plan;
}

struct Setup {
    PerfSpecTable table;
    FixedAircraft aircraft;
    NoAutopilot autopilot;
    FlightPlanSet set{nullptr, &table, nullptr};
    FlightGuidance guidance{&table, aircraft, autopilot};
    FlightPlan plan;

    // dropFirst entries already flown (the plan starts further along, as after sequencing).
    Setup(float lonNm, float altitudeFt, int dropFirst) {
        const auto previous = std::filesystem::current_path();
        std::filesystem::current_path(std::filesystem::path(HALVEX_SOURCE_DIR) / "data");
        LuaHost engine;
        table.load(engine, std::string());
        std::filesystem::current_path(previous);
        set.setCruiseAltitude(30000);
        guidance.AttachPlans(&set);
        plan = LongPlan(set);
        plan.EraseEntries(0, dropFirst);
        AircraftData& a = aircraft.data;
        a.position = MakeSurfacePoint(0, lonNm / 3437.7f);
        a.trackVector = GeoVector{0, 0, 1, 1};
        a.trueHeadingDeg = 90;
        a.trueAirspeedKt = 450;
        a.indicatedAirspeedKt = 280;
        a.altitudeFt = altitudeFt;
        a.radioAltitudeFt = altitudeFt;
        a.grossWeightLb = 120000;
        a.windSpeedKt = 30;
        guidance.ChooseActiveLeg(plan);
        guidance.RebuildVerticalPath(plan);
        guidance.ResetToPlanStart(plan);
        for (int i = 0; i < 20; ++i) guidance.Update(plan);  // past points behind are sequenced
    }
};

// The aircraft stands mid-leg, so a cycle passes nothing and every iteration does the same work.
void GuidanceCycle(benchmark::State& state, float lonNm, float altitudeFt, int dropFirst) {
    Setup s(lonNm, altitudeFt, dropFirst);
    const size_t entries = s.plan.entries.size();
    for (auto _ : state) {
        s.guidance.Update(s.plan);
        benchmark::DoNotOptimize(s.guidance.Lateral().DistanceToDestination());
    }
    state.counters["entries"] = static_cast<double>(entries);
    state.counters["vpath_points"] = static_cast<double>(s.plan.verticalPath.size());
    state.counters["vphase"] = s.guidance.Vertical().Phase();
}

void BM_GuidanceCycleOnFirstLeg(benchmark::State& state) { GuidanceCycle(state, 10, 12000, 0); }
void BM_GuidanceCycleLaterInTheFlight(benchmark::State& state) { GuidanceCycle(state, 2390, 20000, 119); }

BENCHMARK(BM_GuidanceCycleOnFirstLeg);
BENCHMARK(BM_GuidanceCycleLaterInTheFlight);

}  // namespace
}  // namespace halvex
