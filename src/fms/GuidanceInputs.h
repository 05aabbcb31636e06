// What guidance reads from the aircraft once per cycle and what it commands to the autopilot.
// The core fills these from the simulator link; tools and tests from their own sources.
#pragma once

#include "navdb/Geodesy.h"

namespace halvex {

// One cycle's aircraft values. Readers make every number finite before guidance sees it.
struct AircraftData {
    GeoPoint position;           // present position on the sphere
    GeoVector trackVector;       // earth-centred vector from the previous to the present position (nm)
    float trueHeadingDeg = 0;
    float trueAirspeedKt = 0;
    float indicatedAirspeedKt = 0;
    float magneticVariationDeg = 0;  // east positive
    float windDirectionDeg = 0;      // from, magnetic
    float windSpeedKt = 0;
    float altitudeFt = 0;
    float radioAltitudeFt = 0;
    float verticalSpeedFpm = 0;
    float longitudinalAccelFtPerS2 = 0;
    float grossWeightLb = 0;
};

class GuidanceAircraft {
public:
    virtual ~GuidanceAircraft() = default;
    // False when no usable position is known (guidance then keeps its last outputs).
    virtual bool Read(AircraftData& out) = 0;
};

// The autopilot targets guidance sets; the receiver decides whether they are passed on.
class GuidanceAutopilot {
public:
    virtual ~GuidanceAutopilot() = default;
    virtual void CommandHeading(float trueHeadingDeg) = 0;
    virtual void CommandAltitude(float feet) = 0;
    virtual void CommandVerticalSpeed(float fpm) = 0;
    virtual void CommandAirspeed(float knots) = 0;
};

// Makes every value finite: non-finite or absurd values become the given fallbacks, so that no
// NaN can reach the laws or the autopilot. False when the position itself is unusable.
bool SanitizeAircraftData(AircraftData& data);

}  // namespace halvex
