// Plain inline 3-vector arithmetic on the Cartesian side of GeoPoint and GeoVector, for the
// guidance loops that run every cycle.
#pragma once

#include <cmath>

#include "navdb/Geodesy.h"

namespace halvex::vec3 {

struct V3 {
    float x = 0, y = 0, z = 0;
};
inline V3 Of(const GeoVector& v) { return {v.x, v.y, v.z}; }
inline V3 Of(const GeoPoint& p) { return {p.x, p.y, p.z}; }
inline GeoVector ToVector(const V3& v) { return GeoVector{v.x, v.y, v.z, 1.0f}; }
inline V3 operator+(const V3& a, const V3& b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
inline V3 operator-(const V3& a, const V3& b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
inline V3 operator*(const V3& a, float s) { return {a.x * s, a.y * s, a.z * s}; }
inline float Dot(const V3& a, const V3& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
inline V3 Cross(const V3& a, const V3& b) { return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x}; }
inline float Length(const V3& v) { return std::sqrt(Dot(v, v)); }
inline V3 Unit(const V3& v) {
    const float length = Length(v);
    return length > 0 ? v * (1.0f / length) : v;  // a zero vector stays zero
}
// Angle between two directions, radians (0 when either is zero).
inline float AngleBetween(const V3& a, const V3& b) {
    const float la = Length(a), lb = Length(b);
    if (!(la > 0) || !(lb > 0)) return 0;
    const float c = Dot(a, b) / (la * lb);
    return std::acos(c < -1.0f ? -1.0f : c > 1.0f ? 1.0f : c);
}

}  // namespace halvex::vec3
