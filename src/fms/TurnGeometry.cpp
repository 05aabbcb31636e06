#include "fms/TurnGeometry.h"

#include <algorithm>
#include <cmath>

#include "fms/PerfSpecTable.h"

namespace halvex {

namespace {

// Plain 3-vector arithmetic, inline: this loop runs for every entry of every recompute and the
// out-of-line vector kit calls cost a quarter of it. Spherical formulas stay the shared ones.
struct V3 {
    float x, y, z;
};
inline V3 Of(const GeoVector& v) { return {v.x, v.y, v.z}; }
inline V3 Of(const GeoPoint& p) { return {p.x, p.y, p.z}; }
inline GeoVector Vec(const V3& v) { return GeoVector{v.x, v.y, v.z, 1.0f}; }
inline V3 operator+(const V3& a, const V3& b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
inline V3 operator-(const V3& a, const V3& b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
inline V3 operator*(const V3& a, float s) { return {a.x * s, a.y * s, a.z * s}; }
inline float Dot3(const V3& a, const V3& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
inline V3 Cross3(const V3& a, const V3& b) { return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x}; }
inline V3 Unit(const V3& v) {
    const float length = std::sqrt(Dot3(v, v));
    return length > 0 ? v * (1.0f / length) : v;  // a zero vector stays zero
}

// Closest approach of the lines a1 + s d1 and a2 + t d2 (unit directions): the midpoint of the
// two nearest points; parallel lines give the foot of a2 on the first line.
V3 LineMeeting(const V3& a1, const V3& d1, const V3& a2, const V3& d2) {
    const V3 w = a1 - a2;
    const float b = Dot3(d1, d2);
    const float d = Dot3(d1, w);
    const float e = Dot3(d2, w);
    const float denom = 1.0f - b * b;
    if (denom <= 1e-12f) {
        GeoVector foot;
        DistanceToLine(Vec(d1), Vec(a2), Vec(a1), &foot);
        return Of(foot);
    }
    const float s = (b * e - d) / denom;
    const float t = (e - b * d) / denom;
    return ((a1 + d1 * s) + (a2 + d2 * t)) * 0.5f;
}

// Great-circle distance from the chord between two points on the sphere: exact, and one square
// root and one arcsine instead of the cosine formula's five calls.
float ArcNm(const GeoPoint& a, const GeoPoint& b) {
    const double dx = double(a.x) - b.x, dy = double(a.y) - b.y, dz = double(a.z) - b.z;
    const double halfChord = std::sqrt(dx * dx + dy * dy + dz * dz) / (double(a.radius) + b.radius);
    return static_cast<float>(2.0 * std::asin(std::min(halfChord, 1.0)) * NmPerRadian);
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

namespace {

// The fly-by turn at here between the legs from prev and from here, at the given radius. The
// angle is always kept; false, with no turn, when the turn is too slight, too sharp or does not
// fit its two legs.
bool FlyByTurn(const WaypointEntry& prev, WaypointEntry& here, float radiusNm) {
    ClearTurn(here);
    if (prev.legDistance < 0 || here.legDistance < 0) return false;
    const V3 d1 = Unit(Of(prev.legVector));
    const V3 d2 = Unit(Of(here.legVector));
    if (Dot3(d1, d1) == 0 || Dot3(d2, d2) == 0) return false;  // two entries at one place: no direction
    const float angle = std::acos(std::clamp(Dot3(d1, d2), -1.0f, 1.0f));
    here.turnAngle = angle;
    if (angle < kMinTurnRad || angle > kMaxTurnRad || !(radiusNm > 0)) return false;

    const V3 u = Unit(Of(prev.position));
    V3 p1 = Unit(Cross3(u, d1));
    if (Dot3(p1, d2) < 0) p1 = p1 * -1.0f;
    V3 p2 = Unit(Cross3(u, d2));
    if (Dot3(p2, d1) > 0) p2 = p2 * -1.0f;

    const V3 hereCart = Of(here.position);
    const V3 meet = LineMeeting(Of(prev.position) + p1 * radiusNm, d1, hereCart + p2 * radiusNm, d2);
    const GeoPoint centre = ProjectToSurface(Vec(meet));
    const V3 centreCart = Of(centre);
    const GeoPoint entryPoint = ProjectToSurface(Vec(centreCart - p1 * radiusNm));
    const GeoPoint exitPoint = ProjectToSurface(Vec(centreCart - p2 * radiusNm));

    // Both tangent points must lie on their legs: on the leg's side of the entry and no farther
    // from it than the leg is long (a point behind the leg's other end would be accepted by
    // measuring from that end alone).
    const float entryDistance = ArcNm(entryPoint, here.position);
    const float exitDistance = ArcNm(here.position, exitPoint);
    if (Dot3(Of(entryPoint) - hereCart, d1) > 0 || entryDistance > prev.legDistance) return false;
    if (Dot3(Of(exitPoint) - hereCart, d2) < 0 || exitDistance > here.legDistance) return false;

    here.entryPoint = entryPoint;
    here.exitPoint = exitPoint;
    here.entryDistance = entryDistance;
    here.exitDistance = exitDistance;
    here.turnCenter = centre;
    here.turnMidpoint = ProjectToSurface(Vec(centreCart + Unit(hereCart - centreCart) * radiusNm));
    here.turnRadius = radiusNm;
    return true;
}

float ExitNm(const WaypointEntry& e) { return e.exitDistance > 0 ? e.exitDistance : 0.0f; }
float EntryNm(const WaypointEntry& e) { return e.entryDistance > 0 ? e.entryDistance : 0.0f; }

// How much of the leg from `from` to `to` the two turns may take, as the share of their tangent
// distances that fits: 1 when both fit. A leg that will be split keeps each turn on its own
// piece, and no piece is shorter than half the split limit.
float ShareThatFits(const WaypointEntry& from, const WaypointEntry& to, float splitAboveNm) {
    const float exit = ExitNm(from), entry = EntryNm(to);
    if (from.legDistance > splitAboveNm) {
        const float piece = splitAboveNm * 0.5f;
        return std::min(1.0f, piece / std::max({exit, entry, piece}));
    }
    if (exit + entry <= from.legDistance) return 1.0f;
    return from.legDistance / (exit + entry);
}

}  // namespace

void ComputeTurns(std::vector<WaypointEntry>& entries, float radiusNm, float splitAboveNm) {
    const size_t n = entries.size();
    for (size_t i = 0; i < n; ++i) ClearTurn(entries[i]);
    for (size_t i = 1; i + 1 < n; ++i) FlyByTurn(entries[i - 1], entries[i], radiusNm);

    // Two turns that share a leg must not overlap on it (sharp zigzags on short legs would fly
    // backwards and give a negative length): both are flown tighter, in proportion, so they
    // meet at most. The tangent distances grow with the radius, so scaling it scales them.
    std::vector<float> scale(n, 1.0f);
    bool any = false;
    for (size_t i = 0; i + 1 < n; ++i) {
        // A hair under the exact share, so rounding cannot tip the rescaled turns over again.
        const float share = ShareThatFits(entries[i], entries[i + 1], splitAboveNm) * 0.9999f;
        if (share >= 0.9999f) continue;
        if (ExitNm(entries[i]) > 0) scale[i] = std::min(scale[i], share);
        if (EntryNm(entries[i + 1]) > 0) scale[i + 1] = std::min(scale[i + 1], share);
        any = true;
    }
    if (!any) return;
    for (size_t i = 1; i + 1 < n; ++i)
        if (scale[i] < 1.0f) FlyByTurn(entries[i - 1], entries[i], entries[i].turnRadius * scale[i]);
    // What rounding leaves over is not flown as a turn at all.
    for (size_t i = 1; i + 1 < n; ++i)
        if (ShareThatFits(entries[i - 1], entries[i], splitAboveNm) < 1.0f ||
            ShareThatFits(entries[i], entries[i + 1], splitAboveNm) < 1.0f) {
            const float angle = entries[i].turnAngle;
            ClearTurn(entries[i]);
            entries[i].turnAngle = angle;
        }
}

}  // namespace halvex
