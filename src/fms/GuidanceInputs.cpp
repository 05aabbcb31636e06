#include "fms/GuidanceInputs.h"

#include <cmath>

namespace halvex {

namespace {

// Finite and within bounds, else the fallback.
float Sane(float value, float lowest, float highest, float fallback) {
    return std::isfinite(value) && value >= lowest && value <= highest ? value : fallback;
}

}  // namespace

bool SanitizeAircraftData(AircraftData& d) {
    const GeoPoint& p = d.position;
    if (!std::isfinite(p.lat) || !std::isfinite(p.lon) || std::abs(p.lat) > HalfPi + 1e-3f || std::abs(p.lon) > 7.0f)
        return false;
    d.position = MakeGeoPoint(p.lat, p.lon, EarthRadiusNm);
    const GeoVector& t = d.trackVector;
    if (!std::isfinite(t.x) || !std::isfinite(t.y) || !std::isfinite(t.z)) d.trackVector = GeoVector{0, 0, 0, 1};
    d.trueHeadingDeg = Sane(d.trueHeadingDeg, -720.0f, 720.0f, 0.0f);
    d.trueAirspeedKt = Sane(d.trueAirspeedKt, 0.0f, 2000.0f, 0.0f);
    d.indicatedAirspeedKt = Sane(d.indicatedAirspeedKt, 0.0f, 2000.0f, 0.0f);
    d.magneticVariationDeg = Sane(d.magneticVariationDeg, -180.0f, 180.0f, 0.0f);
    d.windDirectionDeg = Sane(d.windDirectionDeg, -720.0f, 720.0f, 0.0f);
    d.windSpeedKt = Sane(d.windSpeedKt, 0.0f, 500.0f, 0.0f);
    d.altitudeFt = Sane(d.altitudeFt, -2000.0f, 100000.0f, 0.0f);
    d.radioAltitudeFt = Sane(d.radioAltitudeFt, -2000.0f, 100000.0f, 0.0f);
    d.verticalSpeedFpm = Sane(d.verticalSpeedFpm, -30000.0f, 30000.0f, 0.0f);
    d.longitudinalAccelFtPerS2 = Sane(d.longitudinalAccelFtPerS2, -1000.0f, 1000.0f, 0.0f);
    d.grossWeightLb = Sane(d.grossWeightLb, 0.0f, 1e7f, 0.0f);
    return true;
}

}  // namespace halvex
