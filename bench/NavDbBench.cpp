// Loading a world-sized navigation data set and the per-keystroke look-ups on it.
#include <benchmark/benchmark.h>

#include <fstream>
#include <string>
#include <unistd.h>

#include "WorldNavData.h"
#include "navdb/NavDatabase.h"

namespace halvex::bench {
namespace {

struct World {
    std::filesystem::path dir;
    WorldIdents idents;
    World() {
        dir = std::filesystem::temp_directory_path() / ("halvex-navdb-bench-" + std::to_string(::getpid()));
        idents = WriteWorldNavData(dir);
    }
    ~World() {
        std::error_code ec;
        std::filesystem::remove_all(dir, ec);
    }
};

const World& TheWorld() {
    static const World world;
    return world;
}

const NavDatabase& LoadedWorld() {
    static const NavDatabase* db = [] {
        auto* d = new NavDatabase;
        d->LoadFrom(TheWorld().dir);
        return d;
    }();
    return *db;
}

// Resident set size in MB, from the kernel's account of this process.
double StatusMb(const char* key) {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.starts_with(key)) return std::stod(line.substr(std::string(key).size())) / 1024.0;
    return 0;
}

void BM_LoadWorld(benchmark::State& state) {
    const World& world = TheWorld();
    const double before = StatusMb("VmRSS:");
    double after = 0;
    for (auto _ : state) {
        NavDatabase db;
        db.LoadFrom(world.dir);
        benchmark::DoNotOptimize(db.WaypointCount());
        after = StatusMb("VmRSS:");
        state.counters["waypoints"] = db.WaypointCount();
        state.counters["airways"] = db.AirwayCount();
        state.counters["airports"] = db.AirportCount();
    }
    state.counters["rss_growth_mb"] = after - before;
}
BENCHMARK(BM_LoadWorld)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(10);

void BM_FindWaypoints(benchmark::State& state) {
    const NavDatabase& db = LoadedWorld();
    const auto& idents = TheWorld().idents.fixes;
    size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(db.FindWaypoints(idents[i]));
        if (++i == idents.size()) i = 0;
    }
}
BENCHMARK(BM_FindWaypoints);

void BM_FindWaypointsNavaid(benchmark::State& state) {  // short idents with longer runs
    const NavDatabase& db = LoadedWorld();
    const auto& idents = TheWorld().idents.navaids;
    size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(db.FindWaypoints(idents[i]));
        if (++i == idents.size()) i = 0;
    }
}
BENCHMARK(BM_FindWaypointsNavaid);

void BM_FindNearestWaypoint(benchmark::State& state) {
    const NavDatabase& db = LoadedWorld();
    const auto& idents = TheWorld().idents.fixes;
    size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(db.FindNearestWaypoint(idents[i], 0.8f, -2.1f));
        if (++i == idents.size()) i = 0;
    }
}
BENCHMARK(BM_FindNearestWaypoint);

void BM_FindNearestWaypointNavaid(benchmark::State& state) {
    const NavDatabase& db = LoadedWorld();
    const auto& idents = TheWorld().idents.navaids;
    size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(db.FindNearestWaypoint(idents[i], 0.8f, -2.1f));
        if (++i == idents.size()) i = 0;
    }
}
BENCHMARK(BM_FindNearestWaypointNavaid);

}  // namespace
}  // namespace halvex::bench
