// Cost of flying the substitute simulator: one 30 Hz frame, and one simulated minute (what a
// fast-forwarded frame or a test's long step costs).
#include <benchmark/benchmark.h>

#include "sim/FlightModel.h"

using namespace halvex::sim;

namespace {

FlightModel Engaged() {
    FlightModelConfig c;
    c.altitudeFt = 8000;
    c.iasKt = 250;
    c.windFromDeg = 250;
    c.windSpeedKt = 35;
    c.nav1 = NavStation{30.5, 135.5, 45.0};
    c.nav2 = NavStation{29.5, 134.5, std::nullopt};
    FlightModel model(c);
    auto& ap = model.autopilot();
    ap.master = true;
    ap.targetAltitudeFt = 30000;
    ap.targetVerticalSpeedFpm = 1800;
    ap.targetIasKt = 290;
    ap.setNavHold(true);
    ap.setAltitudeHold(true);
    return model;
}

void BM_FlightModelFrame(benchmark::State& state) {
    FlightModel model = Engaged();
    for (auto _ : state) {
        model.step(1.0 / 30.0);
        benchmark::DoNotOptimize(model.state().latitudeDeg);
    }
}
BENCHMARK(BM_FlightModelFrame);

void BM_FlightModelSimulatedMinute(benchmark::State& state) {
    FlightModel model = Engaged();
    for (auto _ : state) {
        model.step(60.0);
        benchmark::DoNotOptimize(model.state().latitudeDeg);
    }
}
BENCHMARK(BM_FlightModelSimulatedMinute)->Unit(benchmark::kMicrosecond);

}  // namespace
