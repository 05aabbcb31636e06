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

// Alternates the IDENT and INIT/REF INDEX pages with key presses (INIT REF, then L1) so both
// pages and the key path run.
void CduCycleMillionRss(benchmark::State& state) {
    auto core = makeCore();
    // Warm up past the collector's first cycles so the heap has reached its steady size.
    for (int i = 0; i < 100000; ++i) core->RunCduCycle();
    const long before = residentKb();
    long atHalf = 0;
    for (auto _ : state) {
        for (int i = 0; i < 1000000; ++i) {
            if (i % 1000 == 0) core->Cdu()->PushKey(i % 2000 == 0 ? -10 : -30);
            core->RunCduCycle();
            if (i == 500000) atHalf = residentKb();
        }
    }
    state.counters["rss_half_kb"] = static_cast<double>(atHalf);
    state.counters["rss_before_kb"] = static_cast<double>(before);
    state.counters["rss_after_kb"] = static_cast<double>(residentKb());
}
BENCHMARK(CduCycleMillionRss)->Iterations(1)->Unit(benchmark::kSecond);

}  // namespace
