#include "navdb/Geodesy.h"

#include <algorithm>
#include <cmath>

#include "navdb/MagVarGrid.h"

namespace halvex {

namespace {
constexpr float kPi = 3.1415927f;

// acos of a cosine that rounding may have pushed just past +-1 (equal points would give NaN).
double SafeAcos(double c) { return std::acos(std::clamp(c, -1.0, 1.0)); }
}  // namespace

// ---- Points ------------------------------------------------------------------------------------
GeoPoint MakeGeoPoint(float latRad, float lonRad, float radiusNm) {
    GeoPoint p;
    p.lat = latRad;
    p.lon = lonRad;
    p.radius = radiusNm;
    if (latRad == HalfPi) {
        p.x = 0;
        p.z = 0;
    } else {
        p.x = radiusNm * std::cos(latRad) * std::cos(lonRad);
        p.z = radiusNm * std::cos(latRad) * std::sin(lonRad);
    }
    p.y = radiusNm * std::sin(latRad);
    p.w = 1.0f;
    return p;
}

GeoPoint MakeSurfacePoint(float latRad, float lonRad) { return MakeGeoPoint(latRad, lonRad, EarthRadiusNm); }

GeoVector CartesianOf(const GeoPoint& p) { return GeoVector{p.x, p.y, p.z, 1.0f}; }

SphericalCoords CartesianToSpherical(const GeoVector& v) {
    SphericalCoords s;
    s.radius = Length(v);
    s.lat = std::asin(v.y / s.radius);
    if (v.x == 0) {
        s.lon = v.z > 0 ? HalfPi : -HalfPi;
    } else {
        s.lon = std::atan(v.z / v.x);
        if (v.x < 0) s.lon += kPi;
    }
    if (std::isfinite(s.lon)) {
        while (s.lon > kPi) s.lon -= TwoPi;
        while (s.lon < -kPi) s.lon += TwoPi;
    }
    return s;
}

GeoPoint ProjectToSurface(const GeoVector& v) {
    const SphericalCoords s = CartesianToSpherical(v);
    return MakeGeoPoint(s.lat, s.lon, EarthRadiusNm);
}

// ---- Spherical formulas ------------------------------------------------------------------------
GeoVector BearingDirection(const GeoPoint& p, float bearingDeg, bool isTrue) {
    GeoVector u = CartesianOf(p);
    Normalize(u);
    const GeoVector north{-u.x * u.y, u.x * u.x + u.z * u.z, -u.z * u.y, 1.0f};
    float angleDeg = bearingDeg;
    if (!isTrue) angleDeg += MagneticVariation(p.lat * RadToDeg, p.lon * RadToDeg);
    GeoVector d = Transform(RotationMatrix(u, angleDeg / RadToDeg), north);
    Normalize(d);
    return d;
}

GeoPoint DestinationPoint(bool isTrue, const GeoPoint& start, float bearingDeg, float distanceNm) {
    const GeoVector dir = BearingDirection(start, bearingDeg, isTrue);
    return ProjectToSurface(Add(CartesianOf(start), Scale(dir, distanceNm)));
}

GeoPoint CourseIntersection(const GeoPoint& a, float bearingADeg, const GeoPoint& b, float bearingBDeg) {
    const GeoVector dA = BearingDirection(a, bearingADeg, false);
    const GeoVector dB = BearingDirection(b, bearingBDeg, false);
    GeoVector q;
    const float h = DistanceToLine(dA, CartesianOf(b), CartesianOf(a), nullptr, &q);
    GeoVector n = q;
    Normalize(n);
    const float k = h / Dot(n, dB);
    return ProjectToSurface(Add(CartesianOf(b), Scale(dB, k)));
}

double GreatCircleDistance(const GeoPoint& a, const GeoPoint& b) {
    const double latA = a.lat, lonA = a.lon, latB = b.lat, lonB = b.lon;
    const double d = SafeAcos(std::cos(lonB - lonA) * std::cos(latA) * std::cos(latB) + std::sin(latA) * std::sin(latB));
    return d * NmPerRadian;
}

CourseDistance CourseAndDistance(const GeoPoint& from, const GeoPoint& to) {
    const double latA = from.lat, lonA = from.lon, latB = to.lat, lonB = to.lon;
    const float d = static_cast<float>(
        SafeAcos(std::cos(lonA - lonB) * std::cos(latB) * std::cos(latA) + std::sin(latB) * std::sin(latA)));
    const double s = std::sin(static_cast<double>(d)) * std::cos(latA);
    double course = 0;
    if (s != 0) {
        const double e = (std::sin(latB) - std::cos(static_cast<double>(d)) * std::sin(latA)) / s;
        course = std::sin(lonB - lonA) > 0 ? SafeAcos(e) : 2 * M_PI - SafeAcos(e);
    }
    return CourseDistance{static_cast<float>(course * RadToDeg), d * NmPerRadianF};
}

float MagneticVariation(float latDeg, float lonDeg) {
    // Clamping before truncation gives the same cell (the bounds are whole degrees) and keeps
    // the conversion to int defined for any input.
    if (std::isnan(latDeg)) latDeg = 0;
    if (std::isnan(lonDeg)) lonDeg = 0;
    const int lat = static_cast<int>(std::clamp(latDeg, -90.0f, 90.0f));
    const int lon = static_cast<int>(std::clamp(lonDeg, -178.0f, 180.0f));
    const int row = (90 - lat) / 2;
    const int column = (180 - lon) / 2;
    return MagVarGrid[row * MagVarColumns + column];
}

// ---- Vector kit --------------------------------------------------------------------------------
float Dot(const GeoVector& a, const GeoVector& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }

float Length(const GeoVector& v) { return std::sqrt(Dot(v, v)); }

void Normalize(GeoVector& v) {
    const float length = Length(v);
    if (length > 0) {  // a zero vector stays zero rather than turning into NaN
        v.x /= length;
        v.y /= length;
        v.z /= length;
    }
    v.w = 1.0f;
}

GeoVector Add(const GeoVector& a, const GeoVector& b) { return GeoVector{a.x + b.x, a.y + b.y, a.z + b.z, 1.0f}; }

GeoVector Subtract(const GeoVector& a, const GeoVector& b) {
    return GeoVector{a.x - b.x, a.y - b.y, a.z - b.z, 1.0f};
}

GeoVector Scale(const GeoVector& v, float s) { return GeoVector{v.x * s, v.y * s, v.z * s, 1.0f}; }

Matrix4 RotationMatrix(const GeoVector& axis, float angleRad) {
    const float x = axis.x, y = axis.y, z = axis.z;
    const float cs = std::cos(angleRad), sn = std::sin(angleRad), k = 1 - cs;
    Matrix4 r;
    r.m[0][0] = cs + x * x * k;
    r.m[0][1] = x * y * k - z * sn;
    r.m[0][2] = x * z * k + y * sn;
    r.m[1][0] = x * y * k + z * sn;
    r.m[1][1] = cs + y * y * k;
    r.m[1][2] = y * z * k - x * sn;
    r.m[2][0] = x * z * k - y * sn;
    r.m[2][1] = y * z * k + x * sn;
    r.m[2][2] = cs + z * z * k;
    r.m[3][3] = 1.0f;
    return r;
}

GeoVector Transform(const Matrix4& m, const GeoVector& v) {
    const float in[4] = {v.x, v.y, v.z, v.w};
    float out[4];
    for (int i = 0; i < 4; ++i) out[i] = m.m[i][0] * in[0] + m.m[i][1] * in[1] + m.m[i][2] * in[2] + m.m[i][3] * in[3];
    return GeoVector{out[0], out[1], out[2], 1.0f};
}

float DistanceToLine(const GeoVector& dir, const GeoVector& p, const GeoVector& a, GeoVector* foot,
                     GeoVector* perpendicular, float* t) {
    const float lengthSquared = Dot(dir, dir);
    if (lengthSquared == 0) return LargestFloat;
    const float along = Dot(Subtract(p, a), dir) / lengthSquared;
    const GeoVector f = Add(a, Scale(dir, along));
    const GeoVector q = Subtract(f, p);
    if (foot) *foot = f;
    if (perpendicular) *perpendicular = q;
    if (t) *t = along;
    return Length(q);
}

bool WithinTolerance(float a, float b, float tol) { return b >= a - tol && b <= a + tol; }

}  // namespace halvex
