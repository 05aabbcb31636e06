// Sphere: positions and courses on the earth sphere the FMS itself uses, angles wrapped.
#pragma once

namespace halvex::sim {

constexpr double kPi = 3.14159265358979323846;
constexpr double kDegToRad = kPi / 180.0;
constexpr double kEarthRadiusNm = 3443.9185;  // the FMS's own radius, so both sides agree on distances
constexpr double kFeetPerNm = 6076.12;
constexpr double kGravityFtPerS2 = 32.174;
constexpr double kFeetPerSecondPerKt = kFeetPerNm / 3600.0;

struct CourseDistance {
    double courseRad;   // initial great-circle course from the first point, 0..2pi
    double distanceNm;
};

CourseDistance CourseAndDistance(double latARad, double lonARad, double latBRad, double lonBRad);
// Moves (latRad, lonRad) distanceNm along the great circle starting on courseRad; returns the
// course at the end point (it differs from the start course away from the equator).
double MoveAlong(double& latRad, double& lonRad, double courseRad, double distanceNm);

double Wrap360(double deg);   // 0 <= result < 360
double Wrap180(double deg);   // -180 < result <= 180
double WrapTwoPi(double rad);

}  // namespace halvex::sim
