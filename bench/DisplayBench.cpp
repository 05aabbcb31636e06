// Display costs: a full CDU screen painted and copied onto the gauge, and one EHSI draw with a
// 100-entry plan on the map.
#include <benchmark/benchmark.h>

#include "display/CduRenderer.h"
#include "display/EhsiRenderer.h"
#include "display/FakeEhsiSource.h"

namespace halvex {

namespace {

void fillGrid(DrawSurface& s) {
    for (int r = 0; r < CduTextGrid::kRows; ++r)
        for (int c = 0; c < CduTextGrid::kColumns; ++c)
            s.Grid().Set(r, c, cell::Make('A' + (r * 24 + c) % 26, (r + c) % 8, r % 3 == 0, false));
}

void CduFullScreen(benchmark::State& state, bool fast) {
    DrawSurface surface(360, 255);
    surface.fastBlt = fast;
    surface.smoothHigh = surface.interpolateHigh = !fast;
    fillGrid(surface);
    ScopedContext gauge(500, 559);
    surface.BindTarget(gauge.get());
    for (auto _ : state) RenderCdu(surface, 72, 51, 360, 256);
    state.SetLabel("360 cells, copied onto the 500 x 559 face");
}

void BM_CduScaledCopy(benchmark::State& state) { CduFullScreen(state, false); }
void BM_CduFastCopy(benchmark::State& state) { CduFullScreen(state, true); }

void BM_EhsiMap100(benchmark::State& state) {
    FakeEhsiSource src;
    GeoPoint p = src.aircraft;
    for (int i = 0; i < 100; ++i) {
        src.active.push_back({p, "WPT" + std::to_string(i), true});
        p = DestinationPoint(true, p, static_cast<float>(i * 47 % 360), 2.5f);
    }
    src.glideslope[0] = true;
    EhsiRenderer renderer(src);
    for (int32_t code : {2, 13}) renderer.PushCode(code);  // map style, 5 nm: every point on screen
    renderer.Update();
    ScopedContext gauge(492, 492);
    renderer.Surface().BindTarget(gauge.get());
    for (auto _ : state) renderer.Draw();
    state.SetLabel("map style, 100 entries with names and stars");
}

}  // namespace

BENCHMARK(BM_CduScaledCopy)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CduFastCopy)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EhsiMap100)->Unit(benchmark::kMillisecond);

}  // namespace halvex
