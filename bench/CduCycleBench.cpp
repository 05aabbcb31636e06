// One CDU page cycle of the bundled page script through the core, and the resident memory
// before and after a million cycles.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "gauge/StandardCore.h"
#include "script/CduUnit.h"

namespace {

long residentKb() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmRSS:", 0) == 0) return std::stol(line.substr(6));
    return -1;
}

std::unique_ptr<halvex::FmsCore> makeCore() {
    std::filesystem::current_path(std::string(HALVEX_SOURCE_DIR) + "/data");
    return halvex::MakeStandardCore();
}

void CduCycle(benchmark::State& state) {
    auto core = makeCore();
    for (auto _ : state) core->RunCduCycle();
}
BENCHMARK(CduCycle)->Unit(benchmark::kMicrosecond)->Repetitions(5)->ReportAggregatesOnly(true);

// Alternates the IDENT and STATUS pages with key presses so both pages and the key path run.
void CduCycleMillionRss(benchmark::State& state) {
    auto core = makeCore();
    for (int i = 0; i < 10000; ++i) core->RunCduCycle();  // warm up to the steady state
    const long before = residentKb();
    for (auto _ : state) {
        for (int i = 0; i < 1000000; ++i) {
            if (i % 1000 == 0) core->Cdu()->PushKey(i % 2000 == 0 ? -55 : -35);
            core->RunCduCycle();
        }
    }
    state.counters["rss_before_kb"] = static_cast<double>(before);
    state.counters["rss_after_kb"] = static_cast<double>(residentKb());
}
BENCHMARK(CduCycleMillionRss)->Iterations(1)->Unit(benchmark::kSecond);

}  // namespace
