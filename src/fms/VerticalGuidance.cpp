// VerticalPath: sequencing the points and the vertical guidance laws.
#include <algorithm>
#include <cmath>

#include "fms/LateralGuidance.h"
#include "fms/VerticalPath.h"
#include "fms/Vector3.h"

namespace halvex {

using namespace vec3;

namespace {

constexpr float kPassWithinNm = 5.0f;
constexpr float kLevelWithinFt = 100.0f;
constexpr float kGroundRadioFt = 500.0f;
constexpr float kRepredictBeyondFt = 500.0f;
constexpr float kKtPerSecondPerFtPerS2 = 0.5924853f;
constexpr float kPathGainFpmPerFt = 8.0f;
constexpr float kSteepestFpm = -9999.0f;  // what the autopilot's vertical speed field can hold

float Wrap180(float deg) {
    float r = std::fmod(deg, 360.0f);
    if (r > 180.0f) r -= 360.0f;
    if (r <= -180.0f) r += 360.0f;
    return r;
}

bool Is(const VPathPoint& p, VPathKind k) { return p.kind == static_cast<int32_t>(k); }

void Command(GuidanceAutopilot& autopilot, float altitudeFt, float verticalSpeedFpm, float speedKt) {
    if (!std::isfinite(altitudeFt) || !std::isfinite(verticalSpeedFpm) || !std::isfinite(speedKt)) return;
    autopilot.CommandAltitude(altitudeFt);
    // A law can ask for more than the field holds (an aircraft far above its climb target asks
    // for tens of thousands of feet a minute): the steepest the autopilot takes is sent instead.
    autopilot.CommandVerticalSpeed(std::clamp(verticalSpeedFpm, kSteepestFpm, -kSteepestFpm));
    autopilot.CommandAirspeed(speedKt);
}

}  // namespace

// ---- Sequencing ----------------------------------------------------------------------------------
void VerticalPath::Sequence(FlightPlan& plan, const AircraftData& aircraft) {
    VPathList& list = plan.verticalPath;
    if (list.size() < 2) return;
    // The point itself is the target: a point placed along a leg is passed where it lies, not at
    // the start of its leg.
    const CourseDistance cd = CourseAndDistance(aircraft.position, list.front().position);
    if (std::abs(Wrap180(aircraft.trueHeadingDeg - cd.courseDeg)) > 90.0f && cd.distanceNm < kPassWithinNm) {
        previousAltitudeFt_ = std::max(list.front().altitude, 0.0f);
        list.erase(list.begin());
    }
}

float VerticalPath::DistanceAlongPathNm(const FlightPlan& plan, const LateralGuidance& lateral, const VPathPoint& p) {
    const int32_t from = lateral.FromIndex(), to = lateral.ToIndex();
    const int32_t n = static_cast<int32_t>(plan.entries.size());
    const GeoPoint& a = lateral.AircraftPosition();
    if (p.entryIndex < 0 || p.entryIndex >= n || to < 0 || to >= n || p.entryIndex <= from)
        return static_cast<float>(GreatCircleDistance(a, p.position));
    float distance = lateral.DistanceToTo();
    for (int32_t j = to; j < p.entryIndex; ++j) distance += std::max(plan.entries[static_cast<size_t>(j)].legLength, 0.0f);
    return distance + static_cast<float>(GreatCircleDistance(plan.entries[static_cast<size_t>(p.entryIndex)].position, p.position));
}

// ---- Targets: rate and speed at the present altitude ---------------------------------------------
VerticalPath::Target VerticalPath::climbTarget(const ClimbDescentRates& r, float altitudeFt) const {
    Target t{r.ClimbFpm(r.ClimbSpeedKt(), altitudeFt), r.ClimbSpeedKt()};
    if (altitudeFt <= kRestrictionAltitudeFt && t.speedKt > kRestrictionSpeedKt) {
        t.speedKt = kRestrictionSpeedKt;
        t.rateFpm = r.ClimbFpm(t.speedKt, altitudeFt);
    }
    return t;
}

VerticalPath::Target VerticalPath::descentTarget(const ClimbDescentRates& r, float altitudeFt) const {
    Target t{r.DescentFpm(r.DescentSpeedKt(), altitudeFt), r.DescentSpeedKt()};
    if (altitudeFt < kRestrictionAltitudeFt + 1000.0f && t.speedKt > kRestrictionSpeedKt) {
        t.speedKt = kRestrictionSpeedKt - 10.0f;
        t.rateFpm = r.DescentFpm(t.speedKt, altitudeFt);
    }
    return t;
}

// ---- Guidance ------------------------------------------------------------------------------------
void VerticalPath::Guide(FlightPlan& plan, const AircraftData& a, const LateralGuidance& lateral,
                         GuidanceAutopilot& autopilot) {
    VPathList& list = plan.verticalPath;
    if (list.empty()) return;
    VPathPoint& p = list.front();
    const ClimbDescentRates r{rates_, a.grossWeightLb};
    const float target = std::max(p.altitude, 0.0f);
    if (Is(p, VPathKind::BOC) && a.radioAltitudeFt < kGroundRadioFt) {
        phase_ = 1;
        deviationFt_ = 0;
        return;
    }
    if (Is(p, VPathKind::EOC) || Is(p, VPathKind::TOC)) {
        phase_ = 3;
        climbLaw(p, true, DistanceAlongPathNm(plan, lateral, p), r, a, autopilot);
    } else if (Is(p, VPathKind::EOD) || Is(p, VPathKind::BeginRestriction) || Is(p, VPathKind::EndRestriction)) {
        phase_ = 7;
        pathDescentLaw(p, DistanceAlongPathNm(plan, lateral, p), r, a, autopilot);
    } else if (std::abs(a.altitudeFt - target) <= kLevelWithinFt) {
        phase_ = 5;
        deviationFt_ = 0;
    } else if (a.altitudeFt < target) {
        phase_ = 2;
        deviationFt_ = 0;
        climbLaw(p, false, 0, r, a, autopilot);
    } else {
        phase_ = 6;
        deviationFt_ = 0;
        directDescentLaw(p, r, a, autopilot);
    }
    if ((phase_ == 2 || phase_ == 3 || phase_ == 4) && (Is(p, VPathKind::EOC) || Is(p, VPathKind::TOC)) &&
        std::abs(deviationFt_) > kRepredictBeyondFt)
        repredict(plan, p, lateral, r, a);
}

void VerticalPath::climbLaw(const VPathPoint& p, bool onPath, float distanceNm, const ClimbDescentRates& r,
                            const AircraftData& a, GuidanceAutopilot& autopilot) {
    const float h = std::max(p.altitude, 0.0f);
    Target t = climbTarget(r, a.altitudeFt);
    if (onPath) {
        if (!profile_.Matches(t.speedKt, previousAltitudeFt_, h, r.weight)) profile_.Build(r, t.speedKt, previousAltitudeFt_, h);
        deviationFt_ = a.altitudeFt - profile_.AltitudeAt(distanceNm);
    }
    float vs;
    if (a.altitudeFt + 1000.0f >= h) {
        vs = (h - a.altitudeFt) * 0.001f * t.rateFpm;
    } else {
        float rate = t.rateFpm < 0 ? 4500.0f : t.rateFpm;
        const float accel = a.longitudinalAccelFtPerS2 * kKtPerSecondPerFtPerS2;
        const float speedError = a.indicatedAirspeedKt - t.speedKt;
        if (std::abs(speedError) <= 1.0f && std::abs(accel) <= 0.1f) rate = a.verticalSpeedFpm;
        vs = std::abs(speedError) <= 30.0f ? rate + speedError * 100.0f + accel * 1000.0f : speedError * 150.0f + rate;
        vs = std::clamp(vs, 500.0f, 9999.0f);
    }
    Command(autopilot, h, vs, t.speedKt);
}

void VerticalPath::directDescentLaw(const VPathPoint& p, const ClimbDescentRates& r, const AircraftData& a,
                                    GuidanceAutopilot& autopilot) {
    const float h = std::max(p.altitude, 0.0f);
    if (a.altitudeFt <= h) return;
    const Target t = descentTarget(r, a.altitudeFt);
    float rate = t.rateFpm;
    if ((Is(p, VPathKind::EOD) || Is(p, VPathKind::EndRestriction)) && a.altitudeFt < h + 100.0f)
        rate = (a.altitudeFt - h) * 0.01f * rate;
    Command(autopilot, h, std::min(rate, 0.0f), t.speedKt);
}

void VerticalPath::pathDescentLaw(const VPathPoint& p, float distanceNm, const ClimbDescentRates& r,
                                  const AircraftData& a, GuidanceAutopilot& autopilot) {
    const float h = std::max(p.altitude, 0.0f);
    const Target t = descentTarget(r, a.altitudeFt);
    const float top = std::max(previousAltitudeFt_, h);
    if (!profile_.Matches(t.speedKt, top, h, r.weight)) profile_.Build(r, t.speedKt, top, h);
    deviationFt_ = a.altitudeFt - profile_.AltitudeAt(distanceNm);
    if (a.altitudeFt <= h) return;
    const float above = a.altitudeFt - h;
    float vs = t.rateFpm - kPathGainFpmPerFt * deviationFt_;
    // Gentle captures: the rate fades out over the last few hundred feet.
    if (Is(p, VPathKind::EOD) && above < 250.0f) vs = t.rateFpm * above * 0.004f;
    if (Is(p, VPathKind::EndRestriction) && above < 500.0f) vs = t.rateFpm * above * 0.002f;
    // Steeper when the height left would not be lost in the distance left.
    if (vs < 0 && distanceNm > 0) {
        const float neededNm = above / -vs * (std::max(a.trueAirspeedKt, 0.0f) / 60.0f);
        if (neededNm > distanceNm) vs *= neededNm / distanceNm;
    }
    Command(autopilot, h, std::clamp(vs, kSteepestFpm, 0.0f), t.speedKt);
}

// The end of climb moves to where the aircraft, climbing from here, will reach it.
void VerticalPath::repredict(FlightPlan& plan, VPathPoint& p, const LateralGuidance& lateral, const ClimbDescentRates& r,
                             const AircraftData& a) {
    const float distance = ClimbDistanceNm(r, 0, a.altitudeFt, std::max(p.altitude, 0.0f));
    if (!(distance >= 1.0f)) return;
    const int32_t from = lateral.FromIndex(), to = lateral.ToIndex();
    if (to < 0 || to >= static_cast<int32_t>(plan.entries.size())) return;
    if (distance < lateral.DistanceToTo()) {
        const V3 start = Of(a.position);
        const V3 end = Of(plan.entries[static_cast<size_t>(to)].position);
        p.position = ProjectToSurface(ToVector(start + (end - start) * (distance / lateral.DistanceToTo())));
        p.entryIndex = from;
        return;
    }
    VPathPoint moved;
    if (!PlaceAfter(plan, to, distance - lateral.DistanceToTo(), moved)) return;
    p.position = moved.position;
    p.entryIndex = moved.entryIndex;
}

}  // namespace halvex
