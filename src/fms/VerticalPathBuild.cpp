// VerticalPath: rebuilding the point list of a plan, in path order (the nearest point first).
#include <algorithm>
#include <cmath>

#include "fms/VerticalPath.h"
#include "fms/Vector3.h"

namespace halvex {

using namespace vec3;

namespace {

constexpr size_t kMaxConstraintSteps = 1000;
constexpr float kAboveToDescendFt = 500.0f;  // more than this above cruise or the ceiling: descend first

bool IsKind(const WaypointEntry& e, EntryKind k) { return e.kind == static_cast<int32_t>(k); }

bool IsAtConstraint(const WaypointEntry& e) {
    return e.HasAltitude() && e.altitudeKind == static_cast<uint32_t>(AltitudeKind::At);
}

// Kinds whose at-constraints shape the descent: STAR, approach and plain waypoints.
bool ShapesDescent(const WaypointEntry& e) {
    return (e.kind >= static_cast<int32_t>(EntryKind::StarLeg) && e.kind <= static_cast<int32_t>(EntryKind::ApproachTransitionLeg)) ||
           IsKind(e, EntryKind::Waypoint);
}

float LegNm(const WaypointEntry& e) { return std::max(e.legLength, 0.0f); }

VPathPoint PointAt(const FlightPlan& plan, int32_t entryIndex, VPathKind kind, float altitudeFt) {
    VPathPoint p;
    const WaypointEntry& e = plan.entries[static_cast<size_t>(entryIndex)];
    p.position = e.position;
    p.altitude = altitudeFt;
    p.speed = -1.0f;
    p.kind = static_cast<int32_t>(kind);
    p.entryIndex = entryIndex;
    return p;
}

VPathPoint Along(const FlightPlan& plan, int32_t leg, float fraction) {
    const WaypointEntry& e = plan.entries[static_cast<size_t>(leg)];
    VPathPoint p;
    p.position = ProjectToSurface(ToVector(Of(e.position) + Of(e.legVector) * fraction));
    p.speed = -1.0f;
    p.entryIndex = leg;
    return p;
}

// Sum of legLength over entries [first, last).
float LegsBetween(const FlightPlan& plan, int32_t first, int32_t last) {
    float sum = 0;
    for (int32_t j = std::max(first, 0); j < last && j < static_cast<int32_t>(plan.entries.size()); ++j)
        sum += LegNm(plan.entries[static_cast<size_t>(j)]);
    return sum;
}

}  // namespace

const char* VPathKindName(int32_t kind) {
    static const char* const kNames[] = {"BOC", "EOC", "TOC", "CRZ", "TOD", "BOD", "EOD", "BEGIN_RSPD", "END_RSPD", "NOP"};
    return kind >= 0 && kind <= 9 ? kNames[kind] : "";
}

// ---- Placement -----------------------------------------------------------------------------------
VPathPoint PlaceBefore(const FlightPlan& plan, int32_t entryIndex, float distanceNm) {
    VPathPoint after;
    if (distanceNm < 0 && PlaceAfter(plan, entryIndex, -distanceNm, after)) return after;
    if (entryIndex <= 0 || !(distanceNm > 0)) {
        VPathPoint p = PointAt(plan, std::max(entryIndex, 0), VPathKind::NOP, 0);
        p.speed = -1.0f;
        return p;
    }
    int32_t leg = entryIndex - 1;
    float remainder = distanceNm;
    while (leg > 0 && remainder > LegNm(plan.entries[static_cast<size_t>(leg)])) {
        remainder -= LegNm(plan.entries[static_cast<size_t>(leg)]);
        --leg;
    }
    const float length = LegNm(plan.entries[static_cast<size_t>(leg)]);
    return Along(plan, leg, length > 0 ? (length - remainder) / length : 0.0f);
}

bool PlaceAfter(const FlightPlan& plan, int32_t entryIndex, float distanceNm, VPathPoint& out) {
    const int32_t last = static_cast<int32_t>(plan.entries.size()) - 1;
    if (entryIndex < 0 || entryIndex > last || !std::isfinite(distanceNm)) return false;
    int32_t leg = entryIndex;
    float remainder = std::max(distanceNm, 0.0f);
    while (leg < last && remainder > LegNm(plan.entries[static_cast<size_t>(leg)])) {
        remainder -= LegNm(plan.entries[static_cast<size_t>(leg)]);
        ++leg;
    }
    if (leg >= last) {
        if (remainder > 0) return false;
        out = PointAt(plan, last, VPathKind::NOP, 0);
        return true;
    }
    const float length = LegNm(plan.entries[static_cast<size_t>(leg)]);
    out = Along(plan, leg, length > 0 ? remainder / length : 0.0f);
    return true;
}

// ---- Rebuild -------------------------------------------------------------------------------------
void VerticalPath::Rebuild(FlightPlan& plan, const RebuildInputs& in) {
    VPathList& list = plan.verticalPath;
    list.clear();
    // Without both airports, entries or performance figures there is no path to build.
    if (plan.origin < 0 || plan.destination < 0 || plan.entries.empty() || rates_.empty()) return;
    const auto& e = plan.entries;
    const ClimbDescentRates r{rates_, in.grossWeight};

    float ceiling = in.cruiseAltitudeFt;
    if (phase_ == 6 || phase_ == 7) {
        ceiling = in.presentAltitudeFt;
    } else {
        for (const WaypointEntry& w : e) ceiling = std::max(ceiling, w.altitude);
    }

    // End of descent: the destination, or its runway in front of it.
    int32_t eod = -1;
    for (int32_t i = static_cast<int32_t>(e.size()) - 1; i >= 0 && eod < 0; --i)
        if (IsKind(e[static_cast<size_t>(i)], EntryKind::DestinationAirport)) eod = i;
    if (eod < 0) return;
    if (eod > 0 && IsKind(e[static_cast<size_t>(eod - 1)], EntryKind::DestinationRunway)) --eod;
    const float eodAltitude = std::max(e[static_cast<size_t>(eod)].altitude, 0.0f);
    list.push_back(PointAt(plan, eod, VPathKind::EOD, eodAltitude));

    // Constraint points, walking back from the end of descent: each goes in front.
    const bool wholePlan = phase_ == 5 || phase_ == 6 || phase_ == 7;
    const float limit = wholePlan ? plan.totalDistance : plan.totalDistance * 0.5f;
    float walked = 0;
    for (int32_t i = eod - 1, steps = 0; i >= 0 && steps < static_cast<int32_t>(kMaxConstraintSteps); --i, ++steps) {
        const WaypointEntry& w = e[static_cast<size_t>(i)];
        walked += LegNm(w);
        if (walked > limit) break;
        if (!ShapesDescent(w) || !IsAtConstraint(w) || !(w.altitude > eodAltitude) || !(w.altitude < ceiling)) continue;
        VPathPoint p = PointAt(plan, i, VPathKind::EOD, w.altitude);
        p.speed = w.auxValue;
        if (w.entryDistance > 0) {
            p.position = w.turnMidpoint;
            p.onTurn = true;
        }
        list.insert(list.begin(), p);
    }

    descentProfile(plan, r, ceiling);

    // Above cruise (after a cruise-altitude change): down to it first, from where the aircraft is.
    if (in.presentAltitudeFt > in.cruiseAltitudeFt + kAboveToDescendFt && e.size() > 1) {
        const float needed = DescentDistanceNm(r, 0, in.presentAltitudeFt, in.cruiseAltitudeFt);
        VPathPoint bod = PlaceBefore(plan, 1, in.distanceToToNm);
        bod.kind = static_cast<int32_t>(VPathKind::BOD);
        bod.altitude = in.presentAltitudeFt;
        VPathPoint level = PlaceBefore(plan, 1, in.distanceToToNm - needed);
        level.kind = static_cast<int32_t>(VPathKind::EOD);
        level.altitude = in.cruiseAltitudeFt;
        list.insert(list.begin(), {bod, level});
    }

    // Climb constraints in front of the first point, walking back to the origin.
    if (!(in.presentAltitudeFt > ceiling + kAboveToDescendFt)) {
        const int32_t firstEntry = list.front().entryIndex >= 0 ? std::min(list.front().entryIndex, eod) : eod;
        for (int32_t i = firstEntry; i >= 0; --i) {
            const WaypointEntry& w = e[static_cast<size_t>(i)];
            const float firstAltitude = list.front().altitude;
            if (IsKind(w, EntryKind::OriginRunway) || IsKind(w, EntryKind::OriginAirport)) {
                list.insert(list.begin(), PointAt(plan, i, VPathKind::BOC, std::max(w.altitude, 0.0f)));
                break;
            }
            if (i == 0) {
                const bool inFlight = phase_ != 0 && phase_ != 1;
                if (inFlight && list.front().kind != static_cast<int32_t>(VPathKind::BOC) && IsAtConstraint(w) &&
                    w.altitude < firstAltitude && e.size() > 1) {
                    VPathPoint boc = PlaceBefore(plan, 1, in.distanceToToNm);
                    boc.kind = static_cast<int32_t>(VPathKind::BOC);
                    boc.altitude = in.presentAltitudeFt;
                    list.insert(list.begin(), boc);
                    break;
                }
            }
            if (IsAtConstraint(w) && w.altitude > 0 && w.altitude < firstAltitude)
                list.insert(list.begin(), PointAt(plan, i, VPathKind::BOC, w.altitude));
        }
        climbProfile(plan, r);
    }
    previousAltitudeFt_ = std::max(in.presentAltitudeFt, 0.0f);
}

// A descent start in front of every constraint point (and the end of descent) that lies below
// the point in front of it; the speed-restriction points where the descent crosses 11,000 ft.
void VerticalPath::descentProfile(FlightPlan& plan, const ClimbDescentRates& r, float ceilingFt) {
    VPathList& list = plan.verticalPath;
    const float a = kRestrictionAltitudeFt;
    const float slow = kRestrictionSpeedKt - 10.0f;
    float upper = ceilingFt;
    int32_t previousEntry = -1;
    bool first = true;
    for (size_t k = 0; k < list.size(); ++k) {
        if (list[k].kind != static_cast<int32_t>(VPathKind::EOD)) continue;
        const VPathPoint point = list[k];
        const float p = point.altitude;
        const float u = upper;
        upper = p;
        const int32_t entry = point.entryIndex;
        const bool wasFirst = first;
        const int32_t fromEntry = previousEntry;
        first = false;
        previousEntry = entry;
        if (!(u > p)) continue;  // nothing to descend to this point

        float t = 0, l = 0, m = 0;
        if (p <= a && u > a + 1000.0f) {
            t = DescentDistanceNm(r, 0, u, a + 1000.0f);
            l = DescentDistanceNm(r, slow, a + 1000.0f, a) + 2.0f;
            m = DescentDistanceNm(r, slow, a, p);
        } else if (p <= a && u > a) {
            l = DescentDistanceNm(r, slow, u, a) + 2.0f;
            m = DescentDistanceNm(r, slow, a, p);
        } else if (p <= a) {
            m = DescentDistanceNm(r, slow, u, p);
        } else {
            t = DescentDistanceNm(r, 0, u, p);
        }
        const float needed = t + l + m;
        VPathPoint start;
        if (!wasFirst && fromEntry >= 0 && needed > LegsBetween(plan, fromEntry, entry)) {
            start = PointAt(plan, fromEntry, VPathKind::BOD, u);
        } else {
            start = PlaceBefore(plan, entry, needed);
        }
        start.kind = static_cast<int32_t>(wasFirst ? VPathKind::TOD : VPathKind::BOD);
        start.altitude = u;
        VPathList inserted{start};
        if (l > 0 && u > a + 1000.0f) {
            VPathPoint begin = PlaceBefore(plan, entry, l + m);
            begin.kind = static_cast<int32_t>(VPathKind::BeginRestriction);
            begin.altitude = a + 1000.0f;
            VPathPoint end = PlaceBefore(plan, entry, m);
            end.kind = static_cast<int32_t>(VPathKind::EndRestriction);
            end.altitude = a;
            inserted.push_back(begin);
            inserted.push_back(end);
        }
        list.insert(list.begin() + static_cast<ptrdiff_t>(k), inserted.begin(), inserted.end());
        k += inserted.size();
    }
}

// An end of climb after every begin of climb that a higher point follows.
void VerticalPath::climbProfile(FlightPlan& plan, const ClimbDescentRates& r) {
    VPathList& list = plan.verticalPath;
    for (size_t k = 0; k + 1 < list.size(); ++k) {
        VPathPoint& boc = list[k];
        if (boc.kind != static_cast<int32_t>(VPathKind::BOC)) continue;
        const VPathPoint next = list[k + 1];
        if (!(next.altitude > boc.altitude) || boc.entryIndex < 0 || next.entryIndex < 0) continue;
        const float needed = ClimbDistanceNm(r, 0, boc.altitude, next.altitude);
        const GeoPoint& nextEntry = plan.entries[static_cast<size_t>(next.entryIndex)].position;
        const float available = LegsBetween(plan, boc.entryIndex, next.entryIndex) +
                                static_cast<float>(GreatCircleDistance(nextEntry, next.position));
        VPathPoint eoc;
        if (available > needed && PlaceAfter(plan, boc.entryIndex, needed, eoc)) {
            boc.distance = needed;
        } else {
            eoc = PointAt(plan, next.entryIndex, VPathKind::EOC, next.altitude);
            boc.distance = available;
        }
        eoc.kind = static_cast<int32_t>(VPathKind::EOC);
        eoc.altitude = next.altitude;
        list.insert(list.begin() + static_cast<ptrdiff_t>(k) + 1, eoc);
        ++k;
    }
}

}  // namespace halvex
