#include "fms/TurnGeometry.h"

#include <algorithm>
#include <cmath>

#include "fms/PerfSpecTable.h"

namespace halvex {

namespace {

GeoVector Cross(const GeoVector& a, const GeoVector& b) {
    return GeoVector{a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x, 1.0f};
}

GeoVector Unit(GeoVector v) {
    Normalize(v);
    return v;
}

// Closest approach of the lines a1 + s d1 and a2 + t d2 (unit directions): the midpoint of the
// two nearest points; parallel lines give the foot of a2 on the first line.
GeoVector LineMeeting(const GeoVector& a1, const GeoVector& d1, const GeoVector& a2, const GeoVector& d2) {
    const GeoVector w = Subtract(a1, a2);
    const float b = Dot(d1, d2);
    const float d = Dot(d1, w);
    const float e = Dot(d2, w);
    const float denom = 1.0f - b * b;
    if (denom <= 1e-12f) {
        GeoVector foot;
        DistanceToLine(d1, a2, a1, &foot);
        return foot;
    }
    const float s = (b * e - d) / denom;
    const float t = (e - b * d) / denom;
    return Scale(Add(Add(a1, Scale(d1, s)), Add(a2, Scale(d2, t))), 0.5f);
}

void ClearTurn(WaypointEntry& e) {
    e.turnRadius = -1.0f;
    e.turnAngle = 0.0f;
    e.exitDistance = -1.0f;
    e.entryDistance = -1.0f;
}

}  // namespace

float TurnRadiusNm(float speedKt, float rateDegPerSec) {
    return speedKt * 0.00027777778f * (360.0f / rateDegPerSec) * 0.15915494f;
}

float TurnRadiusNm(const PerfSpecTable* performance) {
    if (performance && !performance->empty()) {
        const float speed = performance->cruiseSpeed(kTurnWeight);
        const float rate = performance->turnRate(kTurnWeight, speed);
        if (speed > 0 && rate > 0 && std::isfinite(speed) && std::isfinite(rate)) return TurnRadiusNm(speed, rate);
    }
    return TurnRadiusNm(kFallbackSpeedKt, kStandardRateDegPerSec);
}

void ComputeTurns(std::vector<WaypointEntry>& entries, float radiusNm) {
    const size_t n = entries.size();
    for (size_t i = 0; i < n; ++i) ClearTurn(entries[i]);
    for (size_t i = 1; i + 1 < n; ++i) {
        const WaypointEntry& prev = entries[i - 1];
        WaypointEntry& here = entries[i];
        if (prev.legDistance < 0 || here.legDistance < 0) continue;
        const GeoVector d1 = Unit(prev.legVector);
        const GeoVector d2 = Unit(here.legVector);
        if (Length(d1) == 0 || Length(d2) == 0) continue;  // two entries at one place: no direction
        const float angle = std::acos(std::clamp(Dot(d1, d2), -1.0f, 1.0f));
        here.turnAngle = angle;
        if (angle < kMinTurnRad || angle > kMaxTurnRad) continue;

        const GeoVector u = Unit(CartesianOf(prev.position));
        GeoVector p1 = Unit(Cross(u, d1));
        if (Dot(p1, d2) < 0) p1 = Scale(p1, -1.0f);
        GeoVector p2 = Unit(Cross(u, d2));
        if (Dot(p2, d1) > 0) p2 = Scale(p2, -1.0f);

        const GeoVector hereCart = CartesianOf(here.position);
        const GeoVector meet = LineMeeting(Add(CartesianOf(prev.position), Scale(p1, radiusNm)), d1,
                                           Add(hereCart, Scale(p2, radiusNm)), d2);
        const GeoPoint centre = ProjectToSurface(meet);
        const GeoVector centreCart = CartesianOf(centre);
        const GeoPoint entryPoint = ProjectToSurface(Subtract(centreCart, Scale(p1, radiusNm)));
        const GeoPoint exitPoint = ProjectToSurface(Subtract(centreCart, Scale(p2, radiusNm)));

        // Both tangent points must lie on their legs: no farther than the leg's length from
        // either end (from the far end only would accept points beyond that end).
        const float entryDistance = static_cast<float>(GreatCircleDistance(entryPoint, here.position));
        const float exitDistance = static_cast<float>(GreatCircleDistance(here.position, exitPoint));
        const float entryFromPrev = static_cast<float>(GreatCircleDistance(entryPoint, prev.position));
        const float exitFromNext = static_cast<float>(GreatCircleDistance(exitPoint, entries[i + 1].position));
        if (entryFromPrev > prev.legDistance || entryDistance > prev.legDistance) continue;
        if (exitDistance > here.legDistance || exitFromNext > here.legDistance) continue;

        here.entryPoint = entryPoint;
        here.exitPoint = exitPoint;
        here.entryDistance = entryDistance;
        here.exitDistance = exitDistance;
        here.turnCenter = centre;
        here.turnMidpoint =
            ProjectToSurface(Add(centreCart, Scale(Unit(Subtract(hereCart, centreCart)), radiusNm)));
        here.turnRadius = radiusNm;
    }
}

}  // namespace halvex
