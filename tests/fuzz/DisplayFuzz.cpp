// Displays fed from outside: CDU cells and palette from the page script, EHSI values from the
// simulator and plans, control codes from the gauge. Any bytes make a picture, never a crash.
#include <cmath>
#include <cstdint>
#include <cstring>
#include <memory>

#include "display/CduRenderer.h"
#include "display/EhsiRenderer.h"
#include "display/FakeEhsiSource.h"

namespace {

// Takes the next n bytes (zeros past the end).
struct Reader {
    const uint8_t* data;
    size_t size;
    size_t at = 0;
    template <typename T>
    T take() {
        T v{};
        uint8_t bytes[sizeof(T)] = {};
        for (size_t i = 0; i < sizeof(T); ++i) bytes[i] = at < size ? data[at++] : 0;
        std::memcpy(&v, bytes, sizeof(T));
        return v;
    }
    float angle() { return take<float>(); }  // any bit pattern: NaN, infinities, huge values
};

// The canvases are large: made afresh for every input, their pages' first touch took most of the
// time. The CDU canvas is rewritten whole by each input. The EHSI renderer carries settings, so it
// is made anew whenever an input has moved them off their power-up values.
bool AtPowerUp(const halvex::EhsiRenderer& ehsi) {
    using halvex::EhsiRenderer, halvex::EhsiSourceId;
    return ehsi.RangeNm() == EhsiRenderer::kInitialRangeNm && !ehsi.MapStyle() &&
           ehsi.MainSource() == EhsiSourceId::Nav1 && ehsi.Pointer1Source() == EhsiSourceId::Nav1 &&
           ehsi.Pointer2Source() == EhsiSourceId::Nav2;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace halvex;
    Reader in{data, size};
    static ScopedContext gauge(500, 559);

    static DrawSurface cdu(360, 255);
    for (uint32_t& c : cdu.Palette()) c = in.take<uint32_t>();
    for (int r = 0; r < CduTextGrid::kRows; ++r)
        for (int c = 0; c < CduTextGrid::kColumns; ++c) cdu.Grid().Set(r, c, in.take<uint32_t>());
    cdu.fastBlt = in.take<uint8_t>() & 1;
    cdu.BindTarget(gauge.get());
    RenderCdu(cdu, in.angle(), in.angle(), in.angle(), in.angle());

    static FakeEhsiSource src;
    src = FakeEhsiSource{};
    src.trueHeading = in.angle();
    src.variation = in.angle();
    src.bug = in.angle();
    for (int k = 0; k < 2; ++k) {
        src.relBearing[k] = in.angle(), src.distance[k] = in.angle(), src.course[k] = in.angle();
        src.lateral[k] = in.angle(), src.vertical[k] = in.angle(), src.glideslope[k] = in.take<uint8_t>() & 1;
    }
    src.aircraft = MakeGeoPoint(in.angle(), in.angle(), in.angle());
    src.courseToTo = in.angle(), src.distanceToGo = in.angle(), src.crossTrack = in.angle();
    src.verticalDeviation = in.angle(), src.phase = in.take<int32_t>();
    src.modifying = in.take<uint8_t>() & 1;
    const int entries = in.take<uint8_t>();
    for (int i = 0; i < entries; ++i) {
        const float lat = in.angle(), lon = in.angle();
        std::string name(in.take<uint8_t>() % 16, static_cast<char>(in.take<uint8_t>()));
        src.active.push_back({MakeSurfacePoint(lat, lon), name, (in.take<uint8_t>() & 1) != 0});
        if (i % 3 == 0) src.marks.push_back({in.take<int32_t>() % 10, MakeSurfacePoint(lat, lon)});
    }
    src.modified = src.active;
    static std::unique_ptr<EhsiRenderer> ehsi;
    if (!ehsi || !AtPowerUp(*ehsi)) ehsi = std::make_unique<EhsiRenderer>(src);
    ehsi->ClearCodes();
    ehsi->Surface().BindTarget(gauge.get());
    ehsi->Surface().SetScale(in.angle(), in.angle());
    for (int i = 0; i < 8; ++i) ehsi->PushCode(in.take<int32_t>() % 64);
    if (in.take<uint8_t>() & 1) ehsi->PushCode(EhsiRenderer::kMapButton);  // the plan map, most of the drawing
    ehsi->Update();
    ehsi->Draw();
    return 0;
}
