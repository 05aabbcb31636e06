// The simulator link's cost on the Linux transport: one 4-byte read exchange, and a full Update
// (nineteen exchanges), over both protocols, against the substitute simulator with its flight
// model running. Run: build/bench/simlink_bench
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <memory>
#include <vector>

#include "simlink/SimIpcClient.h"
#include "simlink/SimVariables.h"
#include "sim/DataServer.h"
#include "support/ScratchRuntime.h"

namespace {

using namespace halvex;

// One server and one connection for the whole run, like a module in a simulator.
struct Fixture {
    test::ScratchRuntime runtime;
    std::unique_ptr<sim::DataServer> server;
    std::unique_ptr<SimVariables> ipc;
    std::unique_ptr<SimVariables> fds;
    Fixture() {
        sim::DataServerOptions options;
        server = std::make_unique<sim::DataServer>(options);
        if (!server->Start()) std::abort();
        ipc = std::make_unique<IpcSimVariables>();
        fds = std::make_unique<FdsSimVariables>();
        if (!ipc->IsConnected() || !fds->IsConnected()) std::abort();
    }
};

Fixture& fixture() {
    static Fixture f;
    return f;
}

// Times each call on its own as well, so the median (the figure asked for) is reported beside
// the mean, which a loaded machine's rare long waits pull up.
template <typename Call>
void timeEach(benchmark::State& state, Call call, double unitsPerSecond, const char* counter) {
    std::vector<double> samples;
    samples.reserve(1 << 16);
    for (auto _ : state) {
        const auto t0 = std::chrono::steady_clock::now();
        call();
        samples.push_back(std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count() * unitsPerSecond);
    }
    std::nth_element(samples.begin(), samples.begin() + static_cast<std::ptrdiff_t>(samples.size() / 2), samples.end());
    state.counters[counter] = samples[samples.size() / 2];
}

void BM_ReadExchange4Bytes(benchmark::State& state, bool useFds) {
    SimVariables& sim = useFds ? *fixture().fds : *fixture().ipc;
    timeEach(state, [&] { benchmark::DoNotOptimize(sim.Nav1LateralNeedle()); }, 1e6, "exchange_us_median");
    if (sim.LastResult() != 0) state.SkipWithError("exchange failed");
}

void BM_FullUpdate(benchmark::State& state, bool useFds) {
    SimVariables& sim = useFds ? *fixture().fds : *fixture().ipc;
    timeEach(state, [&] { benchmark::DoNotOptimize(sim.Update()); }, 1e3, "update_ms_median");
    if (sim.LastResult() != 0) state.SkipWithError("update failed");
}

BENCHMARK_CAPTURE(BM_ReadExchange4Bytes, data_server, false)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_ReadExchange4Bytes, fds, true)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_FullUpdate, data_server, false)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_FullUpdate, fds, true)->Unit(benchmark::kMillisecond);

}  // namespace
