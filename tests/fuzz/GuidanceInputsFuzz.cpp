// Bytes as the aircraft values guidance reads from the simulator link, frame after frame, while
// it flies an active KSEA-KPDX plan: raw floats, so NaN, infinities, denormals, huge and negative
// values all arrive. Whatever comes in, every autopilot command and every guidance output that
// the pages and the EHSI show must stay finite and in range; a violation aborts.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "BundledPlanData.h"
#include "fms/FlightGuidance.h"
#include "fms/FlightPlanModel.h"
#include "fms/PerfSpecTable.h"
#include "fms/PlanTestSupport.h"

namespace {

using namespace halvex;

constexpr int kMaxFrames = 24;

void Fail(const char* what, double value) {
    std::fprintf(stderr, "guidance output out of range: %s = %g\n", what, value);
    std::abort();
}

void ExpectWithin(const char* what, double value, double lo, double hi) {
    if (!(value >= lo && value <= hi)) Fail(what, value);
}

class Bytes {
public:
    Bytes(const uint8_t* data, size_t size) : data_(data), size_(size) {}
    bool more() const { return pos_ < size_; }
    float raw() {
        uint8_t b[4] = {};
        for (uint8_t& x : b) x = pos_ < size_ ? data_[pos_++] : 0;
        float f;
        std::memcpy(&f, b, sizeof f);
        return f;
    }

private:
    const uint8_t* data_;
    size_t size_;
    size_t pos_ = 0;
};

// The simulator link as hostile input: each frame's values straight from the bytes, now and then
// a frame with no usable reading at all.
class HostileAircraft final : public GuidanceAircraft {
public:
    explicit HostileAircraft(Bytes& in) : in_(in) {}
    bool Read(AircraftData& out) override {
        out.position = MakeGeoPoint(in_.raw(), in_.raw(), in_.raw());
        out.trackVector = GeoVector{in_.raw(), in_.raw(), in_.raw(), 1.0f};
        for (float* f : {&out.trueHeadingDeg, &out.trueAirspeedKt, &out.indicatedAirspeedKt, &out.magneticVariationDeg,
                         &out.windDirectionDeg, &out.windSpeedKt, &out.altitudeFt, &out.radioAltitudeFt,
                         &out.verticalSpeedFpm, &out.longitudinalAccelFtPerS2, &out.grossWeightLb})
            *f = in_.raw();
        return SanitizeAircraftData(out);
    }

private:
    Bytes& in_;
};

class CheckedAutopilot final : public GuidanceAutopilot {
public:
    void CommandHeading(float deg) override { ExpectWithin("heading command", deg, 0.0, 360.0); }
    void CommandAltitude(float ft) override { ExpectWithin("altitude command", ft, -2000.0, 100000.0); }
    void CommandVerticalSpeed(float fpm) override { ExpectWithin("vertical speed command", fpm, -20000.0, 20000.0); }
    void CommandAirspeed(float kt) override { ExpectWithin("airspeed command", kt, 0.0, 1000.0); }
};

// KSEA to KPDX through SEA and ALDER on J1 with an 8,000 ft constraint, built once.
const FlightPlan& TemplatePlan() {
    static const FlightPlan plan = [] {
        const NavDatabase& db = test::BundledDatabase();
        SettableAircraft aircraft;
        FlightPlanSet set(&db, &fuzz::BundledPerformance(), &aircraft);
        set.setOrigin("KSEA");
        set.setDestination("KPDX");
        set.setOriginRunway(0);
        set.setDestinationRunway(0);
        for (const char* fix : {"SEA", "OLM", "ALDER", "BTG"})
            set.insertLegsWaypoint(db.FindWaypoints(fix).first, set.Current().LegsCount() - 1);
        set.setLegsAltitude(3, 8000.0f);
        set.activate();
        if (set.Active().LegsCount() < 4) std::abort();
        return set.Active();
    }();
    return plan;
}

void CheckOutputs(const FlightGuidance& g, const FlightPlan& plan) {
    const LateralGuidance& l = g.Lateral();
    for (auto [what, v] : {std::pair{"cross-track error", l.CrossTrackError()}, {"distance to go", l.DistanceToGo()},
                           {"distance to the to-waypoint", l.DistanceToTo()},
                           {"distance to destination", l.DistanceToDestination()}, {"course", l.CourseToTo()}})
        if (!std::isfinite(v)) Fail(what, v);
    if (!std::isfinite(g.Vertical().VerticalDeviationFt())) Fail("vertical deviation", g.Vertical().VerticalDeviationFt());
    const int32_t n = static_cast<int32_t>(plan.entries.size());
    if (l.ToIndex() < -1 || l.ToIndex() >= n) Fail("to index", l.ToIndex());
    if (l.FromIndex() < -1 || l.FromIndex() >= n) Fail("from index", l.FromIndex());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const FlightPlan& plan = TemplatePlan();
    Bytes in(data, size);
    HostileAircraft aircraft(in);
    CheckedAutopilot autopilot;
    FlightGuidance guidance(&fuzz::BundledPerformance(), aircraft, autopilot);
    FlightPlan active = plan;
    guidance.ChooseActiveLeg(active);
    guidance.RebuildVerticalPath(active);
    guidance.ResetToPlanStart(active);
    for (int frame = 0; frame < kMaxFrames && in.more(); ++frame) {
        guidance.Update(active);
        CheckOutputs(guidance, active);
    }
    return 0;
}
