// Shared pieces of the guidance tests: plans recomputed from plain entries, aircraft values at a
// place, and an autopilot that records what it was told.
#pragma once

#include <cmath>
#include <optional>
#include <vector>

#include "PlanTestSupport.h"
#include "fms/GuidanceInputs.h"

namespace halvex::test {

inline FlightPlan Recomputed(std::vector<WaypointEntry> entries) {
    FlightPlanSet set(nullptr, nullptr, nullptr);
    FlightPlan plan;
    plan.entries = std::move(entries);
    set.Recompute(plan);
    return plan;
}

inline AircraftData AircraftAt(double latDeg, double lonDeg, float headingDeg, float tasKt = 250) {
    AircraftData a;
    a.position = MakeSurfacePoint(Rad(latDeg), Rad(lonDeg));
    a.trueHeadingDeg = headingDeg;
    a.trueAirspeedKt = tasKt;
    a.indicatedAirspeedKt = tasKt;
    a.altitudeFt = 10000;
    a.radioAltitudeFt = 10000;
    a.grossWeightLb = 120000;
    // A track vector of 1 nm along the heading.
    const GeoPoint ahead = DestinationPoint(true, a.position, headingDeg, 1.0f);
    a.trackVector = Subtract(CartesianOf(ahead), CartesianOf(a.position));
    return a;
}

class RecordingAutopilot : public GuidanceAutopilot {
public:
    void CommandHeading(float deg) override { heading = deg; }
    void CommandAltitude(float ft) override { altitude = ft; }
    void CommandVerticalSpeed(float fpm) override { verticalSpeed = fpm; }
    void CommandAirspeed(float kt) override { airspeed = kt; }
    std::optional<float> heading, altitude, verticalSpeed, airspeed;
};

inline float Wrap180(float deg) {
    float r = std::fmod(deg, 360.0f);
    if (r > 180) r -= 360;
    if (r <= -180) r += 360;
    return r;
}

}  // namespace halvex::test
