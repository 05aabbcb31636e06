// Textbook spherical formulas in double precision, written apart from the navigation code so
// tests can check its courses, distances and projected points against an independent source.
#pragma once

#include <cmath>
#include <numbers>

namespace halvex::test {

inline constexpr double kNmPerRadian = 60.0 * 180.0 / std::numbers::pi;  // one minute of arc is a nautical mile
inline constexpr double kDegPerRadian = 180.0 / std::numbers::pi;

struct LatLonDeg {
    double lat = 0, lon = 0;
};

inline double RadOf(double deg) { return deg / kDegPerRadian; }

// Great-circle distance, haversine form.
inline double SphereDistanceNm(LatLonDeg a, LatLonDeg b) {
    const double dLat = RadOf(b.lat - a.lat), dLon = RadOf(b.lon - a.lon);
    const double h = std::pow(std::sin(dLat / 2), 2) +
                     std::cos(RadOf(a.lat)) * std::cos(RadOf(b.lat)) * std::pow(std::sin(dLon / 2), 2);
    return 2 * std::asin(std::sqrt(h)) * kNmPerRadian;
}

// Initial true course from a to b, 0 to 360 degrees.
inline double SphereCourseDeg(LatLonDeg a, LatLonDeg b) {
    const double la = RadOf(a.lat), lb = RadOf(b.lat), dLon = RadOf(b.lon - a.lon);
    const double c = std::atan2(std::sin(dLon) * std::cos(lb), std::cos(la) * std::sin(lb) - std::sin(la) * std::cos(lb) * std::cos(dLon));
    return std::fmod(c * kDegPerRadian + 360.0, 360.0);
}

// The point the given distance out along a true course.
inline LatLonDeg SphereDestination(LatLonDeg a, double trueCourseDeg, double distanceNm) {
    const double la = RadOf(a.lat), d = distanceNm / kNmPerRadian, c = RadOf(trueCourseDeg);
    const double lb = std::asin(std::sin(la) * std::cos(d) + std::cos(la) * std::sin(d) * std::cos(c));
    const double dLon = std::atan2(std::sin(c) * std::sin(d) * std::cos(la), std::cos(d) - std::sin(la) * std::sin(lb));
    return {lb * kDegPerRadian, a.lon + dLon * kDegPerRadian};
}

}  // namespace halvex::test
