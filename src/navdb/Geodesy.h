// Geodesy: the shared position record, the small vector kit, the spherical formulas and the
// magnetic-variation lookup. Pure single-precision computation except where noted.
#pragma once

#include <cstdint>

namespace halvex {

// ---- Constants -----------------------------------------------------------------------------
inline constexpr float TwoPi = 6.2831855f;
inline constexpr float HalfPi = 1.5707964f;
inline constexpr float RadToDeg = 57.29578f;            // degrees per radian
inline constexpr float EarthRadiusNm = 3443.9185f;      // radius of every surface point
inline constexpr double NmPerRadian = 3437.746770784939;  // 10800 / pi: one nm per arc minute
inline constexpr float NmPerRadianF = 3437.7468f;       // the single-precision value CourseAndDistance uses
inline constexpr float LargestFloat = 3.4028235e38f;

// ---- Records -------------------------------------------------------------------------------
// A position on (or off) the sphere, held both ways: the spherical and the Cartesian group
// always describe the same point. y is the polar axis (north pole at +y).
struct GeoPoint {
    float lat = 0;     // radians
    float lon = 0;     // radians
    float radius = 0;  // nm
    float x = 0, y = 0, z = 0;
    float w = 1.0f;
};

struct GeoVector {
    float x = 0, y = 0, z = 0;
    float w = 1.0f;
};

// Four rows of four; a product treats the vector as a column.
struct Matrix4 {
    float m[4][4] = {};
};

struct SphericalCoords {
    float radius = 0;  // nm
    float lat = 0;     // radians
    float lon = 0;     // radians, within [-pi, pi]
};

struct CourseDistance {
    float courseDeg = 0;  // true
    float distanceNm = 0;
};

// ---- Points --------------------------------------------------------------------------------
GeoPoint MakeGeoPoint(float latRad, float lonRad, float radiusNm);
GeoPoint MakeSurfacePoint(float latRad, float lonRad);  // radius EarthRadiusNm
GeoVector CartesianOf(const GeoPoint& p);               // (x, y, z, 1)
SphericalCoords CartesianToSpherical(const GeoVector& v);
GeoPoint ProjectToSurface(const GeoVector& v);          // the vector's own length is discarded

// ---- Spherical formulas --------------------------------------------------------------------
// Unit vector tangent to the sphere at p along the bearing; a magnetic bearing (isTrue false)
// is turned true with the variation grid first.
GeoVector BearingDirection(const GeoPoint& p, float bearingDeg, bool isTrue);
// A step along the tangent plane, projected back onto the sphere (not a great-circle step).
GeoPoint DestinationPoint(bool isTrue, const GeoPoint& start, float bearingDeg, float distanceNm);
// Where B's course line meets A's, both bearings magnetic, in the straight-line approximation.
GeoPoint CourseIntersection(const GeoPoint& a, float bearingADeg, const GeoPoint& b, float bearingBDeg);
double GreatCircleDistance(const GeoPoint& a, const GeoPoint& b);  // nm, double precision
CourseDistance CourseAndDistance(const GeoPoint& from, const GeoPoint& to);

// Degrees east from the 2-degree grid: both arguments truncated towards zero, clamped, no
// interpolation.
float MagneticVariation(float latDeg, float lonDeg);

// ---- Vector kit (every result has w = 1) ---------------------------------------------------
void Normalize(GeoVector& v);
GeoVector Add(const GeoVector& a, const GeoVector& b);
GeoVector Subtract(const GeoVector& a, const GeoVector& b);  // a - b
GeoVector Scale(const GeoVector& v, float s);
float Dot(const GeoVector& a, const GeoVector& b);            // x, y, z only
float Length(const GeoVector& v);
// Right-handed rotation about a unit axis.
Matrix4 RotationMatrix(const GeoVector& axis, float angleRad);
GeoVector Transform(const Matrix4& m, const GeoVector& v);   // all four components
// Distance from p to the line through a along dir. A zero dir gives LargestFloat and writes no
// output; otherwise the foot of the perpendicular, the perpendicular from p to the foot and the
// line parameter are written where asked.
float DistanceToLine(const GeoVector& dir, const GeoVector& p, const GeoVector& a, GeoVector* foot = nullptr,
                     GeoVector* perpendicular = nullptr, float* t = nullptr);

// True when b lies in [a - tol, a + tol], both ends inclusive.
bool WithinTolerance(float a, float b, float tol);

}  // namespace halvex
