// Saving the active plan of 200 entries as a route file and loading it back into the modified
// plan, on the bundled navigation data with the airports' procedure files (as a crew would).
#include <benchmark/benchmark.h>

#include <filesystem>

#include <unistd.h>

#include "fms/RouteFiles.h"
#include "navdb/NavDatabase.h"

namespace {

namespace fs = std::filesystem;
using namespace halvex;

class FixedAircraft : public AircraftSource {
public:
    GeoPoint PresentPosition() const override { return MakeSurfacePoint(0.8f, -2.1f); }
    float PresentAltitudeFt() const override { return 0; }
};

struct Fixture {
    Fixture() : routes(fs::temp_directory_path() / ("halvex-route-bench-" + std::to_string(::getpid()))) {
        fs::current_path(fs::path(HALVEX_SOURCE_DIR) / "data");  // procedure files, as in the simulator
        database.Load();
        fs::create_directories(routes);
        plans.setOrigin("KSEA");
        plans.setDestination("KBOI");
        // 198 waypoints evenly spaced between the airports (legs of about 1.5 nm, so no
        // subdivision points), some by airway, each with a constraint.
        FlightPlan& plan = plans.Modified();
        const WaypointEntry origin = plan.entries.front();
        const WaypointEntry destination = plan.entries.back();
        plan.entries.pop_back();
        for (int i = 1; i <= 198; ++i) {
            const float t = static_cast<float>(i) / 199.0f;
            WaypointEntry e;
            e.name = "P" + std::to_string(i);
            e.position = MakeSurfacePoint(origin.position.lat + t * (destination.position.lat - origin.position.lat),
                                          origin.position.lon + t * (destination.position.lon - origin.position.lon));
            e.altitude = static_cast<float>(5000 + i * 100);
            e.altitudeKind = static_cast<uint32_t>(i % 3);
            e.airwayIndex = i % 4 == 0 ? i : -1;
            e.onLegs = 1;
            e.onFpln = i % 4 == 0 ? 1 : 0;
            plan.entries.push_back(e);
        }
        plan.entries.push_back(destination);
        plans.Recompute(plan);
        plans.activate();
    }
    ~Fixture() {
        std::error_code ec;
        fs::remove_all(routes, ec);
    }
    fs::path routes;
    NavDatabase database;
    FixedAircraft aircraft;
    FlightPlanSet plans{&database, nullptr, &aircraft};
};

Fixture& Shared() {
    static Fixture fixture;
    return fixture;
}

void BM_SaveRoute200(benchmark::State& state) {
    Fixture& f = Shared();
    state.counters["entries"] = static_cast<double>(f.plans.Active().entries.size());
    for (auto _ : state)
        if (saveRoute(f.plans, "BENCH", f.routes) != 0) state.SkipWithError("save failed");
}
BENCHMARK(BM_SaveRoute200)->Unit(benchmark::kMillisecond);

void BM_LoadRoute200(benchmark::State& state) {
    Fixture& f = Shared();
    if (saveRoute(f.plans, "BENCH", f.routes) != 0) state.SkipWithError("save failed");
    for (auto _ : state)
        if (loadRoute(f.plans, "BENCH", f.routes) != 0) state.SkipWithError("load failed");
    state.counters["entries"] = static_cast<double>(f.plans.Modified().entries.size());
}
BENCHMARK(BM_LoadRoute200)->Unit(benchmark::kMillisecond);

}  // namespace
