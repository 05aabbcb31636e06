#include "sim/Sphere.h"

#include <algorithm>
#include <cmath>

namespace halvex::sim {

CourseDistance CourseAndDistance(double latA, double lonA, double latB, double lonB) {
    double dLon = lonB - lonA;
    // Haversine keeps short distances accurate.
    double s1 = std::sin((latB - latA) / 2), s2 = std::sin(dLon / 2);
    double h = std::clamp(s1 * s1 + std::cos(latA) * std::cos(latB) * s2 * s2, 0.0, 1.0);
    double central = 2 * std::asin(std::sqrt(h));
    double y = std::sin(dLon) * std::cos(latB);
    double x = std::cos(latA) * std::sin(latB) - std::sin(latA) * std::cos(latB) * std::cos(dLon);
    return {WrapTwoPi(std::atan2(y, x)), central * kEarthRadiusNm};
}

double MoveAlong(double& lat, double& lon, double course, double distanceNm) {
    double d = distanceNm / kEarthRadiusNm;
    double finalCourse = std::atan2(std::sin(course) * std::cos(lat),
                                    std::cos(lat) * std::cos(d) * std::cos(course) - std::sin(lat) * std::sin(d));
    double sinLat = std::sin(lat) * std::cos(d) + std::cos(lat) * std::sin(d) * std::cos(course);
    double newLat = std::asin(std::clamp(sinLat, -1.0, 1.0));
    double newLon = lon + std::atan2(std::sin(course) * std::sin(d) * std::cos(lat),
                                     std::cos(d) - std::sin(lat) * sinLat);
    lat = newLat;
    lon = std::remainder(newLon, 2 * kPi);  // -pi..pi
    return WrapTwoPi(finalCourse);
}

double Wrap360(double deg) {
    double r = std::fmod(deg, 360.0);
    if (r < 0) r += 360.0;
    return r >= 360.0 ? 0.0 : r;
}

double Wrap180(double deg) {
    double r = Wrap360(deg);
    return r > 180.0 ? r - 360.0 : r;
}

double WrapTwoPi(double rad) { return Wrap360(rad / kDegToRad) * kDegToRad; }

}  // namespace halvex::sim
