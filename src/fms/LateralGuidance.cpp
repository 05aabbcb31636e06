#include "fms/LateralGuidance.h"

#include <algorithm>
#include <cmath>

#include "fms/Vector3.h"

namespace halvex {

using namespace vec3;

namespace {

constexpr float kNoTurnRad = 0.06981317f;  // 4 degrees

float Wrap180(float deg) {
    float r = std::fmod(deg, 360.0f);
    if (r > 180.0f) r -= 360.0f;
    if (r <= -180.0f) r += 360.0f;
    return r;
}

float Wrap360(float deg) {
    float r = std::fmod(deg, 360.0f);
    return r < 0 ? r + 360.0f : r;
}

float DistanceNm(const GeoPoint& a, const GeoPoint& b) { return static_cast<float>(GreatCircleDistance(a, b)); }

bool OnLegs(const WaypointEntry& e) { return e.onLegs != 0; }

bool SamePlace(const GeoPoint& a, const GeoPoint& b) { return a.x == b.x && a.y == b.y && a.z == b.z; }

}  // namespace

// ---- Activation --------------------------------------------------------------------------------
void LateralGuidance::ChooseActiveLeg(const FlightPlan& plan, const AircraftData& aircraft) {
    const auto& e = plan.entries;
    if (e.empty()) return;
    from_ = 0;
    to_ = e.size() > 1 ? 1 : -1;
    if (to_ < 0) return;  // one entry: nothing to fly
    if (!e[1].onLegs && !e[1].onFpln) {
        const V3 a = Of(aircraft.position);
        const V3 track = Of(aircraft.trackVector);
        while (to_ + 1 < static_cast<int32_t>(e.size())) {
            const V3 toFrom = Of(e[static_cast<size_t>(from_)].position) - a;
            const V3 toTo = Of(e[static_cast<size_t>(to_)].position) - a;
            if (Dot(toFrom, toFrom) < 25.0f) break;                          // within 5 nm of from
            if (Dot(toFrom, track) <= 0 && Dot(toTo, track) >= 0) break;     // from behind, to ahead
            ++from_;
            ++to_;
        }
    }
    const CourseDistance cd = CourseAndDistance(aircraft.position, e[static_cast<size_t>(to_)].position);
    courseToTo_ = cd.courseDeg;
    distanceToTo_ = cd.distanceNm;
}

void LateralGuidance::ResetToPlanStart(const FlightPlan& plan, const AircraftData& aircraft) {
    aircraftPosition_ = aircraft.position;
    turning_ = false;
    ChooseActiveLeg(plan, aircraft);
}

bool LateralGuidance::legValid(const FlightPlan& plan) const {
    const int32_t n = static_cast<int32_t>(plan.entries.size());
    return from_ >= 0 && to_ > from_ && to_ < n;
}

// ---- Sequencing and distances --------------------------------------------------------------------
void LateralGuidance::Track(FlightPlan& plan, const AircraftData& aircraft, SequenceListener* listener) {
    aircraftPosition_ = aircraft.position;
    auto& e = plan.entries;
    if (e.size() < 2) return;
    if (!legValid(plan)) {  // the plan changed under the leg without an activation
        from_ = 0;
        to_ = 1;
    }
    CourseDistance cd = CourseAndDistance(aircraft.position, e[static_cast<size_t>(to_)].position);
    const float error = Wrap180(aircraft.trueHeadingDeg - cd.courseDeg);
    if (std::abs(error) > 90.0f && cd.distanceNm < kSequenceWithinNm) {
        if (OnLegs(e[static_cast<size_t>(to_)])) {
            if (listener) listener->OnWaypointPassed(e[static_cast<size_t>(to_)]);
            // The passed waypoint becomes the first entry; everything in front of it goes, and
            // the vertical path points follow their entries.
            plan.EraseEntries(0, to_);
            from_ = 0;
            to_ = e.size() > 1 ? 1 : -1;
        } else {
            from_ = to_;
            to_ = to_ + 1 < static_cast<int32_t>(e.size()) ? to_ + 1 : -1;
        }
        if (to_ < 0) return;
        cd = CourseAndDistance(aircraft.position, e[static_cast<size_t>(to_)].position);
    }
    distances(plan, cd.distanceNm);
    courseToTo_ = cd.courseDeg;
}

void LateralGuidance::distances(const FlightPlan& plan, float straightToNm) {
    const auto& e = plan.entries;
    const WaypointEntry& to = e[static_cast<size_t>(to_)];
    const WaypointEntry& from = e[static_cast<size_t>(from_)];
    const GeoPoint& a = aircraftPosition_;
    float toTo = straightToNm;
    if (to.entryDistance > 0) {
        toTo = to.entryDistance >= straightToNm ? DistanceNm(to.turnMidpoint, a)
                                                : DistanceNm(to.entryPoint, a) + to.turnAngle * to.turnRadius * 0.5f;
    }
    if (from.exitDistance > 0 && DistanceNm(from.position, a) < from.exitDistance)
        toTo = DistanceNm(from.exitPoint, a) + (toTo - from.exitDistance);
    distanceToTo_ = toTo;

    const size_t last = e.size() - 1;
    size_t k = static_cast<size_t>(to_);
    float toGo = toTo;
    for (; k < last && !OnLegs(e[k]); ++k) toGo += std::max(e[k].legLength, 0.0f);
    float toDestination = toGo;
    for (; k < last && e[k].kind != static_cast<int32_t>(EntryKind::DestinationAirport); ++k)
        toDestination += std::max(e[k].legLength, 0.0f);
    distanceToGo_ = toGo;
    distanceToDestination_ = toDestination;
}

// ---- Steering ------------------------------------------------------------------------------------
LateralGuidance::SteerTerms LateralGuidance::straightLeg(const FlightPlan& plan, int32_t from, int32_t to,
                                                         const AircraftData& aircraft) const {
    SteerTerms out;
    const WaypointEntry& f = plan.entries[static_cast<size_t>(from)];
    const V3 a = Of(aircraft.position);
    const V3 leg = Of(f.legVector);
    const float legSquared = Dot(leg, leg);
    if (legSquared > 0) {
        const V3 start = Of(f.position);
        const V3 foot = start + leg * (Dot(a - start, leg) / legSquared);
        const V3 r = Unit(a);
        const V3 d = foot - a;
        // Along the surface only: the chord lies below it, and that depth is no cross-track error.
        const V3 offset = d - r * Dot(d, r);
        out.offset = ToVector(offset);
        out.crossTrackNm = Length(offset);
        // Positive when the path lies to the right, so that a positive intercept turns towards
        // it. The Cartesian frame is left-handed (x up at 0/0, y north, z east): leg x up points
        // to the left of the leg. The side comes from the leg's own direction, so it holds on
        // both sides of the leg's start.
        if (Dot(Cross(leg, r), offset) > 0) out.crossTrackNm = -out.crossTrackNm;
    }
    const float course = CourseAndDistance(aircraft.position, plan.entries[static_cast<size_t>(to)].position).courseDeg;
    const float tas = aircraft.trueAirspeedKt;
    float intercept = 0, wind = 0;
    if (tas > kMinAirspeedKt) {
        intercept = std::clamp(out.crossTrackNm / tas * kInterceptDegPerNmKt, -kMaxInterceptDeg, kMaxInterceptDeg);
        const float windToCourse = (aircraft.windDirectionDeg + aircraft.magneticVariationDeg - course) / RadToDeg;
        const float ratio = std::clamp(aircraft.windSpeedKt * std::sin(windToCourse) / tas, -1.0f, 1.0f);
        wind = std::asin(ratio) * RadToDeg;
    }
    out.headingDeg = Wrap360(wind + intercept + course);
    return out;
}

void LateralGuidance::startTurn(const FlightPlan& plan) {
    const WaypointEntry& to = plan.entries[static_cast<size_t>(to_)];
    const WaypointEntry& from = plan.entries[static_cast<size_t>(from_)];
    turnEntry_ = to;
    turning_ = true;
    const V3 up = Unit(Of(to.position));
    turnRightward_ = Dot(Cross(Of(from.legVector), Of(to.legVector)), up) > 0;  // left-handed frame
}

// False when the turn ended this cycle (no command then).
bool LateralGuidance::flyTurn(const FlightPlan& plan, const AircraftData& aircraft, SteerTerms& out) {
    const WaypointEntry& t = turnEntry_;
    const V3 centre = Of(t.turnCenter);
    const V3 q = Of(aircraft.position) - centre;
    const float swept = AngleBetween(Of(t.entryPoint) - centre, q);
    if (swept > kTurnEndShare * t.turnAngle) {
        turning_ = false;
        return false;
    }
    // Arc terms with the straight leg's convention: the offset points from the aircraft to the
    // path, and the error is positive when the path lies to the right.
    const float qLength = Length(q);
    const V3 arcPoint = Unit(q) * t.turnRadius;
    const V3 offset = arcPoint - q;
    const float outside = qLength - t.turnRadius;
    SteerTerms arc;
    arc.offset = ToVector(offset);
    arc.crossTrackNm = turnRightward_ ? outside : -outside;
    arc.headingDeg = t.course;
    const float half = t.turnAngle * 0.5f;
    if (swept <= half || !(half > 0)) {
        out = arc;
        return true;
    }
    // The outbound leg: normally already the active leg; until it is sequenced, the leg that
    // starts at the turn's waypoint.
    int32_t legFrom = from_, legTo = to_;
    if (SamePlace(plan.entries[static_cast<size_t>(to_)].position, t.position) &&
        to_ + 1 < static_cast<int32_t>(plan.entries.size())) {
        legFrom = to_;
        legTo = to_ + 1;
    }
    const SteerTerms straight = straightLeg(plan, legFrom, legTo, aircraft);
    const float share = std::min((swept - half) / half, 1.0f);
    out.crossTrackNm = share * straight.crossTrackNm + (1 - share) * arc.crossTrackNm;
    out.offset = ToVector(Of(straight.offset) * share + Of(arc.offset) * (1 - share));
    out.headingDeg = Wrap360(arc.headingDeg + share * Wrap180(straight.headingDeg - arc.headingDeg));
    return true;
}

void LateralGuidance::Steer(const FlightPlan& plan, const AircraftData& aircraft, GuidanceAutopilot& autopilot) {
    if (plan.entries.size() < 2 || !legValid(plan)) return;
    if (aircraft.radioAltitudeFt < kSteerAboveRadioFt) {
        phase_ = 1;
        return;
    }
    phase_ = 2;
    int32_t legFrom = from_, legTo = to_;
    if (!turning_) {
        const WaypointEntry& to = plan.entries[static_cast<size_t>(to_)];
        const float distance = CourseAndDistance(aircraft.position, to.position).distanceNm;
        if (to.entryDistance > 0 && to.entryDistance >= distance) {
            startTurn(plan);
        } else if (to.turnAngle <= kNoTurnRad && distance < kNextLegWithinNm && plan.entries.size() > 2 &&
                   to_ + 1 < static_cast<int32_t>(plan.entries.size())) {
            // Too small a turn to fly: the next leg already; past the last entry there is none.
            legFrom = to_;
            legTo = to_ + 1;
        }
    }
    SteerTerms terms;
    if (turning_) {
        if (!flyTurn(plan, aircraft, terms)) return;
    } else {
        terms = straightLeg(plan, legFrom, legTo, aircraft);
    }
    crossTrackError_ = terms.crossTrackNm;
    pathOffset_ = terms.offset;
    if (!std::isfinite(terms.headingDeg)) return;
    commandedHeading_ = terms.headingDeg;
    autopilot.CommandHeading(terms.headingDeg);
}

}  // namespace halvex
